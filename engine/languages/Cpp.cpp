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

void DeleteCppComments(WideView Text, WideText& Result) {
  DeleteComments(Text, CppBraceTable(ScanKind::Delete), Result);
}
WideText DeleteCppComments(WideView Text) {
  return DeleteComments(Text, CppBraceTable(ScanKind::Delete));
}
void ExtractCppComments(WideView Text, WideText& Result) {
  ExtractComments(Text, CppBraceTable(ScanKind::Extract), Result);
}
WideText ExtractCppComments(WideView Text) {
  return ExtractComments(Text, CppBraceTable(ScanKind::Extract));
}

}  // namespace kelvorat
