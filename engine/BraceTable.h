// The delimiter-table model of the comment engine.
//
// A language is described by an ordered table of delimiter pairs. Each entry
// tells how a region opens, how it closes, and whether the region is a comment
// (deleted or extracted) or protected (a string literal, a compiler directive,
// an escape), whose content is never searched for delimiters. Delimiters match
// without regard to letter case. At equal positions the earlier entry wins.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "library/StringUnit.h"

namespace kelvorat {

// Where an opener counts.
enum class OpenerKind : std::uint8_t {
  Text,       // StartBrace, wherever it stands
  WholeWord,  // StartBrace, only where no identifier character touches it
  LineBreak,  // any line break: CR LF, a lone CR or a lone LF (StartBrace unused)
};

// How a region ends.
enum class CloserKind : std::uint8_t {
  None,             // the region is the opener alone
  Text,             // at the first EndBrace after the opener
  TextWithEscapes,  // the same, but every code unit after a backslash is stepped over
  EndOfLine,        // before the first CR or LF after the opener; the break is not part of it
};

struct TBraceInfo {
  WideText StartBrace;
  WideText EndBrace;
  bool IsComment = false;
  OpenerKind Opener = OpenerKind::Text;
  CloserKind Closer = CloserKind::Text;
};

using TBraceTable = std::vector<TBraceInfo>;

// One row of a language table as written in the source: the same fields as
// TBraceInfo, as constants.
struct BraceRow {
  WideView StartBrace;
  WideView EndBrace;
  bool IsComment;
  OpenerKind Opener;
  CloserKind Closer;
};

// Row constructors, so that a language table reads as its catalogue does.
// An empty closer makes the region the opener alone, as with the one-argument
// Protected.
constexpr CloserKind ClosedBy(WideView closer, CloserKind kind) {
  return closer.empty() ? CloserKind::None : kind;
}
constexpr BraceRow Protected(WideView opener) {
  return {opener, {}, false, OpenerKind::Text, CloserKind::None};
}
constexpr BraceRow Protected(WideView opener, WideView closer) {
  return {opener, closer, false, OpenerKind::Text, ClosedBy(closer, CloserKind::Text)};
}
constexpr BraceRow ProtectedWithEscapes(WideView opener, WideView closer) {
  return {opener, closer, false, OpenerKind::Text, ClosedBy(closer, CloserKind::TextWithEscapes)};
}
constexpr BraceRow Comment(WideView opener, WideView closer) {
  return {opener, closer, true, OpenerKind::Text, ClosedBy(closer, CloserKind::Text)};
}
constexpr BraceRow LineComment(WideView opener) {
  return {opener, {}, true, OpenerKind::Text, CloserKind::EndOfLine};
}
constexpr BraceRow WordLineComment(WideView opener) {
  return {opener, {}, true, OpenerKind::WholeWord, CloserKind::EndOfLine};
}
// The last row of every extraction table: each line break outside protected
// regions and other comments is copied as it stands.
constexpr BraceRow LineBreakRow() {
  return {{}, {}, true, OpenerKind::LineBreak, CloserKind::None};
}

TBraceTable MakeBraceTable(std::span<const BraceRow> rows);

// Identifier characters, for whole-word openers: ASCII letters and digits,
// underscore, and every code unit from U+0080 up except U+00A0 and U+3000.
constexpr bool IsIdentifierUnit(char16_t u) noexcept {
  if (u >= 0x80) return u != 0x00A0 && u != 0x3000;
  return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
         u == u'_';
}

// The length of the opener of Entry that stands in Text at the 1-based
// Position (for a line-break row, 2 at CR LF and 1 otherwise).
std::int32_t OpenerLength(const TBraceInfo& Entry, WideView Text, std::int32_t Position);

// From StartPos on, the earliest opener of any entry, and which entry: every
// entry is searched with PosFrom from StartPos, and the lowest position wins,
// the earlier entry at equal positions. On false, FoundPos is kThroughEnd.
bool FindFirstBrace(WideView Text, std::int32_t StartPos, const TBraceTable& Table,
                    std::int32_t& FoundPos, TBraceInfo& Found);

}  // namespace kelvorat
