#include "library/TemplateList/ListClone.h"

#include <cstring>
#include <new>

namespace kelvorat {

TListError::TListError()
    : text_(std::string(Message) + " (" + File + ", " + std::to_string(Line) + " \xE8\xA1\x8C)") {}

TListClone::~TListClone() { TListClone::Clear(); }

std::int32_t TListClone::Add(void* Item) {
  const std::int32_t index = FCount;
  if (FCount == FCapacity) Grow();
  FItems[index] = Item;
  ++FCount;
  if (Item != nullptr) Notify(Item, ItemAdded);
  return index;
}

void TListClone::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= FCount) Error();
  void* item = Get(Index);
  --FCount;
  if (Index < FCount) {
    std::memmove(FItems + Index, FItems + Index + 1,
                 static_cast<std::size_t>(FCount - Index) * sizeof(void*));
  }
  if (item != nullptr) Notify(item, ItemDeleted);
}

void* TListClone::Get(std::int32_t Index) const {
  if (Index < 0 || Index >= FCount) Error();
  return FItems[Index];
}

void TListClone::Grow() {
  const std::int32_t c = FCapacity;
  const std::int32_t increment = c > 64 ? c / 4 : (c > 8 ? 16 : 4);
  // In 64 bits: a step past MaxListSize must fail the check, not wrap around.
  const std::int64_t wanted = static_cast<std::int64_t>(c) + increment;
  SetCapacity(wanted > MaxListSize ? MaxListSize + 1 : static_cast<std::int32_t>(wanted));
}

void TListClone::Notify(void*, int) {}

void TListClone::SetCapacity(std::int32_t NewCapacity) {
  if (NewCapacity < FCount || NewCapacity > MaxListSize) Error();
  if (NewCapacity == FCapacity) return;
  void** block = nullptr;
  if (NewCapacity > 0) {
    // Allocated first, so that running out of memory leaves the old block in place.
    block = new void*[static_cast<std::size_t>(NewCapacity)];
    const std::int32_t kept = NewCapacity < FCapacity ? NewCapacity : FCapacity;
    if (kept > 0) std::memcpy(block, FItems, static_cast<std::size_t>(kept) * sizeof(void*));
  }
  delete[] FItems;
  FItems = block;
  FCapacity = NewCapacity;
}

void TListClone::SetCount(std::int32_t NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error();
  if (NewCount > FCapacity) SetCapacity(NewCount);
  if (NewCount > FCount) {
    for (std::int32_t i = FCount; i < NewCount; ++i) FItems[i] = nullptr;
  } else {
    for (std::int32_t i = FCount - 1; i >= NewCount; --i) Delete(i);
  }
  FCount = NewCount;
}

void TListClone::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TListClone::Error() { throw TListError(); }

}  // namespace kelvorat
