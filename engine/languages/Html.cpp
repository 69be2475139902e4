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

WideText DeleteHtmlComments(WideView Text) { return DeleteComments(Text, HtmlBraceTable(ScanKind::Delete)); }
WideText ExtractHtmlComments(WideView Text) { return ExtractComments(Text, HtmlBraceTable(ScanKind::Extract)); }

}  // namespace kelvorat
