#include "engine/BraceTable.h"

namespace kelvorat {
namespace {

std::int32_t LengthOf(WideView s) {
  return s.size() > static_cast<std::size_t>(kThroughEnd) ? kThroughEnd
                                                          : static_cast<std::int32_t>(s.size());
}

bool StandsAsWord(WideView Text, std::int32_t Position, std::int32_t Length) {
  const std::int32_t before = Position - 1;  // 1-based position of the unit before
  const std::int32_t after = Position + Length;
  if (before >= 1 && IsIdentifierUnit(Text[static_cast<std::size_t>(before - 1)])) return false;
  if (after <= LengthOf(Text) && IsIdentifierUnit(Text[static_cast<std::size_t>(after - 1)])) return false;
  return true;
}

// The first position from StartPos at which Entry's opener counts; 0 if none.
std::int32_t OpenerPosFrom(const TBraceInfo& Entry, WideView Text, std::int32_t StartPos) {
  switch (Entry.Opener) {
    case OpenerKind::Text:
      return PosFrom(Entry.StartBrace, Text, StartPos, kThroughEnd, true);
    case OpenerKind::WholeWord: {
      std::int32_t p = PosFrom(Entry.StartBrace, Text, StartPos, kThroughEnd, true);
      while (p > 0 && !StandsAsWord(Text, p, LengthOf(Entry.StartBrace))) {
        p = p < LengthOf(Text) ? PosFrom(Entry.StartBrace, Text, p + 1, kThroughEnd, true) : 0;
      }
      return p;
    }
    case OpenerKind::LineBreak: {
      const std::int32_t cr = PosFrom(u"\r", Text, StartPos, kThroughEnd, true);
      const std::int32_t lf = PosFrom(u"\n", Text, StartPos, kThroughEnd, true);
      if (cr == 0) return lf;
      if (lf == 0) return cr;
      return cr < lf ? cr : lf;
    }
  }
  return 0;
}

}  // namespace

TBraceTable MakeBraceTable(std::span<const BraceRow> rows) {
  TBraceTable table;
  table.reserve(rows.size());
  for (const BraceRow& row : rows) {
    table.push_back(TBraceInfo{WideText(row.StartBrace), WideText(row.EndBrace), row.IsComment,
                               row.Opener, row.Closer});
  }
  return table;
}

std::int32_t OpenerLength(const TBraceInfo& Entry, WideView Text, std::int32_t Position) {
  if (Entry.Opener != OpenerKind::LineBreak) return LengthOf(Entry.StartBrace);
  const auto i = static_cast<std::size_t>(Position - 1);
  return (Text[i] == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n') ? 2 : 1;
}

bool FindFirstBrace(WideView Text, std::int32_t StartPos, const TBraceTable& Table,
                    std::int32_t& FoundPos, TBraceInfo& Found) {
  FoundPos = kThroughEnd;
  for (const TBraceInfo& entry : Table) {
    const std::int32_t p = OpenerPosFrom(entry, Text, StartPos);
    if (p > 0 && p < FoundPos) {
      Found = entry;
      FoundPos = p;
    }
  }
  return FoundPos < kThroughEnd;
}

}  // namespace kelvorat
