// Pascal. "{$" stands before "{": at the same position the earlier row wins,
// so a compiler directive is protected, not a comment.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kPascal[] = {
    Protected(u"'", u"'"),
    Protected(u"{$", u"}"),  // a compiler directive
    Comment(u"{", u"}"),
    Comment(u"(*", u"*)"),
    LineComment(u"//"),
};

}  // namespace

TBraceTable PascalBraceTable(ScanKind kind) { return MakeLanguageTable(kPascal, kind); }

void DeletePascalComments(WideView Text, WideText& Result) {
  DeleteComments(Text, PascalBraceTable(ScanKind::Delete), Result);
}
WideText DeletePascalComments(WideView Text) {
  return DeleteComments(Text, PascalBraceTable(ScanKind::Delete));
}
void ExtractPascalComments(WideView Text, WideText& Result) {
  ExtractComments(Text, PascalBraceTable(ScanKind::Extract), Result);
}
WideText ExtractPascalComments(WideView Text) {
  return ExtractComments(Text, PascalBraceTable(ScanKind::Extract));
}

}  // namespace kelvorat
