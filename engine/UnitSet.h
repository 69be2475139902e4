// A small set of code units and the search for the first of them in a
// stretch of text. The comment scan spends nearly all its time here, so the
// search compares 16 to 32 code units at a time where the processor can.
// Unit is char16_t (UTF-16 text) or unsigned char (UTF-8 bytes).
#pragma once

#include <cstddef>

namespace kelvorat {

template <class Unit>
class BasicUnitSet {
 public:
  BasicUnitSet() noexcept { ChooseFinder(); }

  // Adds a code unit; adding one twice changes nothing. Answers false, and
  // adds nothing, when the set is full.
  bool TryAdd(Unit unit) noexcept;
  // The same; a full set is a length_error.
  void Add(Unit unit);
  bool Contains(Unit unit) const noexcept;
  std::size_t Size() const noexcept { return count_; }
  const Unit* Units() const noexcept { return units_; }

  // The first code unit in [first, last) that belongs to the set, or last.
  const Unit* FindIn(const Unit* first, const Unit* last) const noexcept {
    return find_(first, last, *this);
  }

  using Finder = const Unit* (*)(const Unit*, const Unit*, const BasicUnitSet&) noexcept;

 private:
  static constexpr std::size_t kMax = 64;

  Unit units_[kMax] = {};
  std::size_t count_ = 0;
  bool ascii_[128] = {};
  Finder find_ = nullptr;  // chosen by the set's size and the processor

  void ChooseFinder() noexcept;
};

using UnitSet = BasicUnitSet<char16_t>;
using ByteSet = BasicUnitSet<unsigned char>;

extern template class BasicUnitSet<char16_t>;
extern template class BasicUnitSet<unsigned char>;

}  // namespace kelvorat
