// Search and copy primitives on wide text.
//
// Positions are 1-based and counted in UTF-16 code units; a search answers 0
// when there is no match; the count kThroughEnd means "through the end of the
// text". Out-of-range positions, counts and empty texts are not errors: the
// guards answer false, 0 or the empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorat {

// Wide text: UTF-16 code units, length stored with it, followed in memory by
// one NUL so that its address can be handed to the host as it is.
using WideText = std::u16string;
using WideView = std::u16string_view;

inline constexpr std::int32_t kThroughEnd = 2147483647;

// The Count code units of S1 from Index1 equal the Count code units of S2 from
// Index2, under the user's locale (letter case ignored with IgnoreCase).
// Precondition: Count >= 1 and both stretches lie inside their texts.
bool CompareSubStr(WideView S1, WideView S2, std::int32_t Index1, std::int32_t Index2,
                   std::int32_t Count, bool IgnoreCase);

// Pattern stands in Text at Position, letter case respected.
bool MatchAt(WideView Pattern, WideView Text, std::int32_t Position);

// First position from Start at which Pattern lies wholly inside the window of
// Count code units and inside Text; 0 when there is none.
std::int32_t PosFrom(WideView Pattern, WideView Text, std::int32_t Start, std::int32_t Count,
                     bool IgnoreCase);

// S from From through To, cut to S; a From below 1 counts as 1.
WideText CopyFromTo(WideView S, std::int32_t From, std::int32_t To);

}  // namespace kelvorat
