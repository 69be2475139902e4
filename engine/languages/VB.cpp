// VB. A doubled quote inside a string closes it and opens a new one at once,
// which protects the same stretch.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kVB[] = {
    Protected(u"\"", u"\""),
    LineComment(u"'"),
    WordLineComment(u"rem"),  // a whole word only: "Premium" and "x.Remove" are code
};

}  // namespace

TBraceTable VBBraceTable(ScanKind kind) { return MakeLanguageTable(kVB, kind); }

}  // namespace kelvorat
