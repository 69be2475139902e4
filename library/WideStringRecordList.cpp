#include "library/WideStringRecordList.h"

#include "library/MathUnit.h"

namespace kelvorat {
namespace {

std::int32_t LengthOf(WideView s) {
  return s.size() > static_cast<std::size_t>(kThroughEnd) ? kThroughEnd
                                                          : static_cast<std::int32_t>(s.size());
}

// The first separator, in order, that stands in Text at Position; -1 if none.
int FindSeparatorAt(WideView Text, std::int32_t Position, const std::vector<WideText>& Separators) {
  for (std::size_t k = 0; k < Separators.size(); ++k) {
    if (MatchAt(Separators[k], Text, Position)) return static_cast<int>(k);
  }
  return -1;
}

}  // namespace

const std::vector<WideText>& LineBreaks() {
  static const std::vector<WideText> breaks{u"\r\n", u"\r", u"\n"};
  return breaks;
}

TRecordList::TRecordList() : FList(std::make_unique<TListClone>()) {}

TRecordList::~TRecordList() { Clear(); }

std::int32_t TRecordList::Add(WideView Text) {
  auto record = std::make_unique<TItemRecord>(TItemRecord{WideText(Text)});
  const std::int32_t index = FList->Add(record.get());
  record.release();  // the list owns it now
  return index;
}

void TRecordList::Clear() noexcept {
  for (std::int32_t i = 0; i < FList->Count(); ++i) {
    delete static_cast<TItemRecord*>(FList->Get(i));
  }
  FList->Clear();
}

WideText TRecordList::GetItem(std::int32_t Index) const { return WideText(ItemView(Index)); }

WideView TRecordList::ItemView(std::int32_t Index) const {
  return static_cast<const TItemRecord*>(FList->Get(Index))->Text;
}

void TRecordList::AddPiece(WideView Text, std::int32_t From, std::int32_t To) {
  const std::int32_t length = LengthOf(Text);
  if (To >= From && (IsInRange(1, From, length) || IsInRange(1, To, length))) {
    Add(CopyFromTo(Text, From, To));
  }
}

void TRecordList::Split(WideView Text, const std::vector<WideText>& Separators) {
  Clear();
  const std::int32_t length = LengthOf(Text);
  std::int32_t start = 1;
  std::int32_t pos = 1;
  while (pos <= length) {
    const int k = FindSeparatorAt(Text, pos, Separators);
    if (k < 0) {
      ++pos;
      continue;
    }
    const auto separatorLength = static_cast<std::int32_t>(Separators[static_cast<std::size_t>(k)].size());
    Add(CopyFromTo(Text, start, pos + separatorLength - 1));
    pos += separatorLength;
    start = pos;
  }
  AddPiece(Text, start, length);
}

void TRecordList::SplitLines(WideView Text) {
  // Line breaks compare by code unit: CR and LF have no case, and the split
  // must not depend on what a locale makes of control characters.
  Clear();
  const std::size_t n = Text.size();
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t u = Text[i];
    if (u != u'\r' && u != u'\n') continue;
    if (u == u'\r' && i + 1 < n && Text[i + 1] == u'\n') ++i;
    Add(Text.substr(start, i + 1 - start));
    start = i + 1;
  }
  if (start < n) Add(Text.substr(start));
}

}  // namespace kelvorat
