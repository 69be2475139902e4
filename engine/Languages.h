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

WideText DeleteCComments(WideView Text);
WideText DeleteCppComments(WideView Text);
WideText DeleteVBComments(WideView Text);
WideText DeletePascalComments(WideView Text);
WideText DeleteHtmlComments(WideView Text);
WideText ExtractCComments(WideView Text);
WideText ExtractCppComments(WideView Text);
WideText ExtractVBComments(WideView Text);
WideText ExtractPascalComments(WideView Text);
WideText ExtractHtmlComments(WideView Text);

}  // namespace kelvorat
