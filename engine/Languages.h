// The ten commands: delete or extract the comments of C, C++/C#/Java, VB,
// Pascal or HTML text. Each builds its language's table afresh and runs one
// scan; none keeps state between calls. Each language's table is in a file of
// its own under languages/.
#pragma once

#include <span>

#include "engine/BraceTable.h"
#include "engine/CommentScan.h"

namespace kelvorat {

// The table of a language for a scan: its rows, and for extraction the
// line-break row after them.
TBraceTable MakeLanguageTable(std::span<const BraceRow> rows, ScanKind kind);

TBraceTable CBraceTable(ScanKind kind);
TBraceTable CppBraceTable(ScanKind kind);
TBraceTable VBBraceTable(ScanKind kind);
TBraceTable PascalBraceTable(ScanKind kind);
TBraceTable HtmlBraceTable(ScanKind kind);

void DeleteCComments(WideView Text, WideText& Result);
WideText DeleteCComments(WideView Text);
void DeleteCppComments(WideView Text, WideText& Result);
WideText DeleteCppComments(WideView Text);
void DeleteVBComments(WideView Text, WideText& Result);
WideText DeleteVBComments(WideView Text);
void DeletePascalComments(WideView Text, WideText& Result);
WideText DeletePascalComments(WideView Text);
void DeleteHtmlComments(WideView Text, WideText& Result);
WideText DeleteHtmlComments(WideView Text);
void ExtractCComments(WideView Text, WideText& Result);
WideText ExtractCComments(WideView Text);
void ExtractCppComments(WideView Text, WideText& Result);
WideText ExtractCppComments(WideView Text);
void ExtractVBComments(WideView Text, WideText& Result);
WideText ExtractVBComments(WideView Text);
void ExtractPascalComments(WideView Text, WideText& Result);
WideText ExtractPascalComments(WideView Text);
void ExtractHtmlComments(WideView Text, WideText& Result);
WideText ExtractHtmlComments(WideView Text);

}  // namespace kelvorat
