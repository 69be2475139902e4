// The scans stated step by step: at every step FindFirstBrace searches every
// entry of the table from the current position, and each closer is found with
// PosFrom. Quadratic on long texts (a search per entry per step); it is the
// reference that the fast scan of CommentScan.h is checked against, and the
// fallback for tables too large for the fast scan's index.
#pragma once

#include "engine/BraceTable.h"
#include "engine/CommentScan.h"

namespace kelvorat {

WideText PlainDeleteComments(WideView Text, const TBraceTable& Table);
WideText PlainExtractComments(WideView Text, const TBraceTable& Table);
void PlainScanComments(ScanKind Kind, WideView Text, const TBraceTable& Table, StretchSink& Sink);

}  // namespace kelvorat
