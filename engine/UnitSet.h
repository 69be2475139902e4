// A small set of UTF-16 code units and the search for the first of them in a
// stretch of text. The comment scan spends nearly all its time here, so the
// search compares 16 or 8 code units at a time where the processor can.
#pragma once

#include <cstddef>

namespace kelvorat {

class UnitSet {
 public:
  UnitSet() = default;

  // Adds a code unit; adding one twice changes nothing.
  void Add(char16_t unit);
  bool Contains(char16_t unit) const noexcept;
  std::size_t Size() const noexcept { return count_; }

  // The first code unit in [first, last) that belongs to the set, or last.
  const char16_t* FindIn(const char16_t* first, const char16_t* last) const noexcept {
    return find_(first, last, *this);
  }

 private:
  // Sets up to this size are searched with vector compares; larger ones with
  // a lookup per code unit.
  static constexpr std::size_t kVectorMax = 8;
  static constexpr std::size_t kMax = 64;
  using Finder = const char16_t* (*)(const char16_t*, const char16_t*, const UnitSet&) noexcept;

  void ChooseFinder() noexcept;
  static const char16_t* FindScalar(const char16_t* first, const char16_t* last,
                                    const UnitSet& set) noexcept;
  static const char16_t* FindNone(const char16_t*, const char16_t* last, const UnitSet&) noexcept {
    return last;
  }

  char16_t units_[kMax] = {};
  std::size_t count_ = 0;
  bool ascii_[128] = {};
  Finder find_ = &FindNone;

  friend struct UnitSetAccess;
};

}  // namespace kelvorat
