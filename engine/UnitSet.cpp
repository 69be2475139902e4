#include "engine/UnitSet.h"

#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KELVORAT_X86 1
#endif

namespace kelvorat {

struct UnitSetAccess {
  static const char16_t* Units(const UnitSet& s) { return s.units_; }
};

namespace {

#if KELVORAT_X86

template <int K>
__attribute__((target("avx2"))) const char16_t* FindAvx2(const char16_t* p, const char16_t* last,
                                                          const UnitSet& set) noexcept {
  const char16_t* units = UnitSetAccess::Units(set);
  __m256i wanted[K];
  for (int k = 0; k < K; ++k) wanted[k] = _mm256_set1_epi16(static_cast<short>(units[k]));
  while (last - p >= 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16));
    __m256i ma = _mm256_cmpeq_epi16(a, wanted[0]);
    __m256i mb = _mm256_cmpeq_epi16(b, wanted[0]);
    for (int k = 1; k < K; ++k) {
      ma = _mm256_or_si256(ma, _mm256_cmpeq_epi16(a, wanted[k]));
      mb = _mm256_or_si256(mb, _mm256_cmpeq_epi16(b, wanted[k]));
    }
    const auto ra = static_cast<unsigned>(_mm256_movemask_epi8(ma));
    const auto rb = static_cast<unsigned>(_mm256_movemask_epi8(mb));
    if ((ra | rb) != 0) {
      return ra != 0 ? p + (__builtin_ctz(ra) >> 1) : p + 16 + (__builtin_ctz(rb) >> 1);
    }
    p += 32;
  }
  for (; p < last; ++p) {
    for (int k = 0; k < K; ++k) {
      if (*p == units[k]) return p;
    }
  }
  return last;
}

template <int K>
__attribute__((target("sse2"))) const char16_t* FindSse2(const char16_t* p, const char16_t* last,
                                                          const UnitSet& set) noexcept {
  const char16_t* units = UnitSetAccess::Units(set);
  __m128i wanted[K];
  for (int k = 0; k < K; ++k) wanted[k] = _mm_set1_epi16(static_cast<short>(units[k]));
  while (last - p >= 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    __m128i ma = _mm_cmpeq_epi16(a, wanted[0]);
    __m128i mb = _mm_cmpeq_epi16(b, wanted[0]);
    for (int k = 1; k < K; ++k) {
      ma = _mm_or_si128(ma, _mm_cmpeq_epi16(a, wanted[k]));
      mb = _mm_or_si128(mb, _mm_cmpeq_epi16(b, wanted[k]));
    }
    const auto ra = static_cast<unsigned>(_mm_movemask_epi8(ma));
    const auto rb = static_cast<unsigned>(_mm_movemask_epi8(mb));
    if ((ra | rb) != 0) {
      return ra != 0 ? p + (__builtin_ctz(ra) >> 1) : p + 8 + (__builtin_ctz(rb) >> 1);
    }
    p += 16;
  }
  for (; p < last; ++p) {
    for (int k = 0; k < K; ++k) {
      if (*p == units[k]) return p;
    }
  }
  return last;
}

using Finder = const char16_t* (*)(const char16_t*, const char16_t*, const UnitSet&) noexcept;

constexpr Finder kAvx2[] = {nullptr,      FindAvx2<1>, FindAvx2<2>, FindAvx2<3>, FindAvx2<4>,
                            FindAvx2<5>, FindAvx2<6>, FindAvx2<7>, FindAvx2<8>};
constexpr Finder kSse2[] = {nullptr,      FindSse2<1>, FindSse2<2>, FindSse2<3>, FindSse2<4>,
                            FindSse2<5>, FindSse2<6>, FindSse2<7>, FindSse2<8>};

bool HasAvx2() noexcept {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
bool HasSse2() noexcept {
  static const bool has = __builtin_cpu_supports("sse2");
  return has;
}

#endif

}  // namespace

void UnitSet::Add(char16_t unit) {
  if (Contains(unit)) return;
  if (count_ == kMax) throw std::length_error("too many code units in a search set");
  units_[count_++] = unit;
  if (unit < 128) ascii_[unit] = true;
  ChooseFinder();
}

bool UnitSet::Contains(char16_t unit) const noexcept {
  if (unit < 128) return ascii_[unit];
  for (std::size_t i = 0; i < count_; ++i) {
    if (units_[i] == unit) return true;
  }
  return false;
}

const char16_t* UnitSet::FindScalar(const char16_t* first, const char16_t* last,
                                    const UnitSet& set) noexcept {
  for (; first < last; ++first) {
    if (set.Contains(*first)) return first;
  }
  return last;
}

void UnitSet::ChooseFinder() noexcept {
  find_ = &FindScalar;
#if KELVORAT_X86
  if (count_ >= 1 && count_ <= kVectorMax) {
    if (HasAvx2()) {
      find_ = kAvx2[count_];
    } else if (HasSse2()) {
      find_ = kSse2[count_];
    }
  }
#endif
}

}  // namespace kelvorat
