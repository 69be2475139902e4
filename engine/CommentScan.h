// The deletion and extraction scans.
//
// Deletion keeps everything but the comments; protected regions are copied
// whole, and a line comment loses its text but not the line break after it.
// Extraction keeps only the comments, each with its delimiters, and what the
// table's line-break row copies. Both outputs are a sequence of stretches of
// the input in order, so the output is never longer than the input.
//
// The scan finds, at each step, the earliest opener of any entry (the earlier
// entry at equal positions) in one forward pass over the text, and each closer
// with one forward pass from its opener: the whole scan is linear in the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/BraceTable.h"

namespace kelvorat {

enum class ScanKind : std::uint8_t { Delete, Extract };

// Receives the stretches of the input that the output keeps, as 0-based
// half-open ranges [begin, end), in order, never empty; adjacent stretches
// arrive merged into one.
class StretchSink {
 public:
  virtual void Keep(std::size_t begin, std::size_t end) = 0;

 protected:
  ~StretchSink() = default;
};

void ScanComments(ScanKind Kind, WideView Text, const TBraceTable& Table, StretchSink& Sink);

// The same scan on valid UTF-8 bytes, with stretches in byte offsets: the
// result equals decoding to UTF-16, scanning, and mapping the stretches back.
// Answers false, and sends nothing, when a delimiter of the table has a
// letter-case form outside ASCII; the caller then scans the decoded text.
bool ScanCommentsUtf8(ScanKind Kind, std::string_view Bytes, const TBraceTable& Table, StretchSink& Sink);

// Result's previous content is discarded; its storage is reused.
void DeleteComments(WideView Text, const TBraceTable& Table, WideText& Result);
void ExtractComments(WideView Text, const TBraceTable& Table, WideText& Result);
WideText DeleteComments(WideView Text, const TBraceTable& Table);
WideText ExtractComments(WideView Text, const TBraceTable& Table);

// Copies To - From + 1 code units from Source at SrcPos to Dest at OutPos,
// advancing both; nothing when To < From. Positions are 1-based. Precondition:
// the stretch lies inside Source and Dest has room for it.
void CopyRange(std::int32_t From, std::int32_t To, std::int32_t& OutPos, std::int32_t& SrcPos,
               WideText& Dest, WideView Source);

}  // namespace kelvorat
