#include "library/StringUnit.h"

#include "platform/Platform.h"

namespace kelvorat {
namespace {

std::int32_t LengthOf(WideView s) {
  return s.size() > static_cast<std::size_t>(kThroughEnd) ? kThroughEnd
                                                          : static_cast<std::int32_t>(s.size());
}

}  // namespace

bool CompareSubStr(WideView S1, WideView S2, std::int32_t Index1, std::int32_t Index2,
                   std::int32_t Count, bool IgnoreCase) {
  const std::uint32_t flags = IgnoreCase ? platform::kNormIgnoreCase : 0;
  return platform::CompareStrings(platform::kLocaleUserDefault, flags, S1.data() + (Index1 - 1),
                                  Count, S2.data() + (Index2 - 1), Count) == platform::kCompareEqual;
}

bool MatchAt(WideView Pattern, WideView Text, std::int32_t Position) {
  const std::int32_t textLength = LengthOf(Text);
  const std::int32_t patternLength = LengthOf(Pattern);
  if (textLength == 0 || patternLength == 0 || Position <= 0 ||
      Position > textLength - patternLength + 1) {
    return false;
  }
  return CompareSubStr(Pattern, Text, 1, Position, patternLength, false);
}

std::int32_t PosFrom(WideView Pattern, WideView Text, std::int32_t Start, std::int32_t Count,
                     bool IgnoreCase) {
  const std::int32_t textLength = LengthOf(Text);
  const std::int32_t patternLength = LengthOf(Pattern);
  if (patternLength == 0 || textLength == 0 || Start < 1 || Start > textLength ||
      Count < patternLength) {
    return 0;
  }
  // The window's end, cut at the text's end; 64 bits so that Start + Count
  // cannot overflow.
  const std::int64_t end = static_cast<std::int64_t>(Start) + Count - 1;
  const std::int32_t last =
      (end > textLength ? textLength : static_cast<std::int32_t>(end)) - patternLength + 1;
  for (std::int32_t candidate = Start; candidate <= last; ++candidate) {
    if (CompareSubStr(Text, Pattern, candidate, 1, patternLength, IgnoreCase)) return candidate;
  }
  return 0;
}

WideText CopyFromTo(WideView S, std::int32_t From, std::int32_t To) {
  if (From < 1) From = 1;
  const std::int32_t length = LengthOf(S);
  if (To > length) To = length;
  if (To < From) return WideText();
  return WideText(S.substr(static_cast<std::size_t>(From - 1), static_cast<std::size_t>(To - From + 1)));
}

}  // namespace kelvorat
