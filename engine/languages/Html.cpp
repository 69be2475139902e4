// HTML. No protected rows: a "<!--" inside an attribute value or a script
// opens a comment all the same.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kHtml[] = {
    Comment(u"<!--", u"-->"),
};

}  // namespace

TBraceTable HtmlBraceTable(ScanKind kind) { return MakeLanguageTable(kHtml, kind); }

void DeleteHtmlComments(WideView Text, WideText& Result) {
  DeleteComments(Text, HtmlBraceTable(ScanKind::Delete), Result);
}
WideText DeleteHtmlComments(WideView Text) {
  return DeleteComments(Text, HtmlBraceTable(ScanKind::Delete));
}
void ExtractHtmlComments(WideView Text, WideText& Result) {
  ExtractComments(Text, HtmlBraceTable(ScanKind::Extract), Result);
}
WideText ExtractHtmlComments(WideView Text) {
  return ExtractComments(Text, HtmlBraceTable(ScanKind::Extract));
}

}  // namespace kelvorat
