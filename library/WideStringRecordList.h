// TRecordList: an ordered list of wide texts, each held in a record of its own
// whose pointer lives in a TListClone; and the splitter that fills such a list
// with the pieces of a text, each ending with the separator that cut it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "library/StringUnit.h"
#include "library/TemplateList/ListClone.h"

namespace kelvorat {

// The line-break separators, in the order they are tried: CR LF, CR, LF.
const std::vector<WideText>& LineBreaks();

class TRecordList {
 public:
  TRecordList();
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;
  virtual ~TRecordList();

  // Appends a copy of Text; answers its index.
  std::int32_t Add(WideView Text);
  // Releases every item.
  void Clear() noexcept;
  // A copy of item Index; the list error for an index outside 0 to Count - 1.
  WideText GetItem(std::int32_t Index) const;
  // The item itself, without a copy; the same check as GetItem.
  WideView ItemView(std::int32_t Index) const;
  std::int32_t Count() const noexcept { return FList->Count(); }

  // The list holds the lines of Text, each with the line break that ends it
  // (CR LF, a CR not followed by LF, or LF). Same result as
  // Split(Text, LineBreaks()), in one pass over the text.
  void SplitLines(WideView Text);
  // The list holds the pieces of Text, each with the separator that ends it.
  // Separators are tried in order at each position, letter case respected; an
  // empty separator never matches.
  void Split(WideView Text, const std::vector<WideText>& Separators);

 private:
  struct TItemRecord {
    WideText Text;
  };
  void AddPiece(WideView Text, std::int32_t From, std::int32_t To);

  std::unique_ptr<TListClone> FList;
};

// The list the write-back constructs; it adds nothing to TRecordList.
class TCommonStringRecordList : public TRecordList {};

}  // namespace kelvorat
