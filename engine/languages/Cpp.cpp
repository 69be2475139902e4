// C++, C# and Java.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kCpp[] = {
    Protected(u"\\\""),                 // an escaped double quote outside a string opens none
    Protected(u"'\"'"),                 // the character literal of a double quote
    Protected(u"@\"", u"\""),           // a C# verbatim string: no escapes, "" closes and reopens
    ProtectedWithEscapes(u"\"", u"\""), // a string; a backslash escapes the next code unit
    Comment(u"/*", u"*/"),
    LineComment(u"//"),
};

}  // namespace

TBraceTable CppBraceTable(ScanKind kind) { return MakeLanguageTable(kCpp, kind); }

}  // namespace kelvorat
