// C. Block comments only: "//" is ordinary text to the C commands.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kC[] = {
    Protected(u"\\\""),                 // an escaped double quote outside a string opens none
    Protected(u"'\"'"),                 // the character literal of a double quote
    ProtectedWithEscapes(u"\"", u"\""), // a string; a backslash escapes the next code unit
    Comment(u"/*", u"*/"),
};

}  // namespace

TBraceTable CBraceTable(ScanKind kind) { return MakeLanguageTable(kC, kind); }

void DeleteCComments(WideView Text, WideText& Result) {
  DeleteComments(Text, CBraceTable(ScanKind::Delete), Result);
}
WideText DeleteCComments(WideView Text) {
  return DeleteComments(Text, CBraceTable(ScanKind::Delete));
}
void ExtractCComments(WideView Text, WideText& Result) {
  ExtractComments(Text, CBraceTable(ScanKind::Extract), Result);
}
WideText ExtractCComments(WideView Text) {
  return ExtractComments(Text, CBraceTable(ScanKind::Extract));
}

}  // namespace kelvorat
