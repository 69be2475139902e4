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

}  // namespace kelvorat
