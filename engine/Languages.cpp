#include "engine/Languages.h"

namespace kelvorat {

TBraceTable MakeLanguageTable(std::span<const BraceRow> rows, ScanKind kind) {
  TBraceTable table = MakeBraceTable(rows);
  if (kind == ScanKind::Extract) {
    const BraceRow lineBreak[] = {LineBreakRow()};
    const TBraceTable last = MakeBraceTable(lineBreak);
    table.insert(table.end(), last.begin(), last.end());
  }
  return table;
}

// The ten commands: each builds its language's table afresh and runs one scan.
namespace {

template <TBraceTable (*Table)(ScanKind)>
void Delete(WideView Text, WideText& Result) {
  DeleteComments(Text, Table(ScanKind::Delete), Result);
}
template <TBraceTable (*Table)(ScanKind)>
void Extract(WideView Text, WideText& Result) {
  ExtractComments(Text, Table(ScanKind::Extract), Result);
}
template <void (*Command)(WideView, WideText&)>
WideText Returned(WideView Text) {
  WideText result;
  Command(Text, result);
  return result;
}

}  // namespace

void DeleteCComments(WideView Text, WideText& Result) { Delete<CBraceTable>(Text, Result); }
void DeleteCppComments(WideView Text, WideText& Result) { Delete<CppBraceTable>(Text, Result); }
void DeleteVBComments(WideView Text, WideText& Result) { Delete<VBBraceTable>(Text, Result); }
void DeletePascalComments(WideView Text, WideText& Result) { Delete<PascalBraceTable>(Text, Result); }
void DeleteHtmlComments(WideView Text, WideText& Result) { Delete<HtmlBraceTable>(Text, Result); }
void ExtractCComments(WideView Text, WideText& Result) { Extract<CBraceTable>(Text, Result); }
void ExtractCppComments(WideView Text, WideText& Result) { Extract<CppBraceTable>(Text, Result); }
void ExtractVBComments(WideView Text, WideText& Result) { Extract<VBBraceTable>(Text, Result); }
void ExtractPascalComments(WideView Text, WideText& Result) { Extract<PascalBraceTable>(Text, Result); }
void ExtractHtmlComments(WideView Text, WideText& Result) { Extract<HtmlBraceTable>(Text, Result); }

WideText DeleteCComments(WideView Text) { return Returned<DeleteCComments>(Text); }
WideText DeleteCppComments(WideView Text) { return Returned<DeleteCppComments>(Text); }
WideText DeleteVBComments(WideView Text) { return Returned<DeleteVBComments>(Text); }
WideText DeletePascalComments(WideView Text) { return Returned<DeletePascalComments>(Text); }
WideText DeleteHtmlComments(WideView Text) { return Returned<DeleteHtmlComments>(Text); }
WideText ExtractCComments(WideView Text) { return Returned<ExtractCComments>(Text); }
WideText ExtractCppComments(WideView Text) { return Returned<ExtractCppComments>(Text); }
WideText ExtractVBComments(WideView Text) { return Returned<ExtractVBComments>(Text); }
WideText ExtractPascalComments(WideView Text) { return Returned<ExtractPascalComments>(Text); }
WideText ExtractHtmlComments(WideView Text) { return Returned<ExtractHtmlComments>(Text); }

}  // namespace kelvorat
