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

}  // namespace kelvorat
