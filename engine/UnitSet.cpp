#include "engine/UnitSet.h"

#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KELVORAT_X86 1
#endif

namespace kelvorat {
namespace {

template <class Unit>
const Unit* FindScalar(const Unit* p, const Unit* last, const BasicUnitSet<Unit>& set) noexcept {
  for (; p < last; ++p) {
    if (set.Contains(*p)) return p;
  }
  return last;
}

template <class Unit>
const Unit* FindNone(const Unit*, const Unit* last, const BasicUnitSet<Unit>&) noexcept {
  return last;
}

#if KELVORAT_X86

// Vector compares of one width: 16-bit lanes for UTF-16, 8-bit lanes for bytes.
template <class Unit>
struct Lanes;

template <>
struct Lanes<char16_t> {
  __attribute__((target("avx2"))) static __m256i Broadcast256(char16_t u) {
    return _mm256_set1_epi16(static_cast<short>(u));
  }
  __attribute__((target("avx2"))) static __m256i Equal256(__m256i a, __m256i b) {
    return _mm256_cmpeq_epi16(a, b);
  }
  __attribute__((target("sse2"))) static __m128i Broadcast128(char16_t u) {
    return _mm_set1_epi16(static_cast<short>(u));
  }
  __attribute__((target("sse2"))) static __m128i Equal128(__m128i a, __m128i b) {
    return _mm_cmpeq_epi16(a, b);
  }
  static constexpr int kShift = 1;  // bytes of the mask per unit: 2
};

template <>
struct Lanes<unsigned char> {
  __attribute__((target("avx2"))) static __m256i Broadcast256(unsigned char u) {
    return _mm256_set1_epi8(static_cast<char>(u));
  }
  __attribute__((target("avx2"))) static __m256i Equal256(__m256i a, __m256i b) {
    return _mm256_cmpeq_epi8(a, b);
  }
  __attribute__((target("sse2"))) static __m128i Broadcast128(unsigned char u) {
    return _mm_set1_epi8(static_cast<char>(u));
  }
  __attribute__((target("sse2"))) static __m128i Equal128(__m128i a, __m128i b) {
    return _mm_cmpeq_epi8(a, b);
  }
  static constexpr int kShift = 0;
};

// Two 32-byte vectors per step.
template <class Unit, int K>
__attribute__((target("avx2"))) const Unit* FindAvx2(const Unit* p, const Unit* last,
                                                      const BasicUnitSet<Unit>& set) noexcept {
  using L = Lanes<Unit>;
  constexpr std::ptrdiff_t kPerVector = 32 / sizeof(Unit);
  const Unit* units = set.Units();
  __m256i wanted[K];
  for (int k = 0; k < K; ++k) wanted[k] = L::Broadcast256(units[k]);
  while (last - p >= 2 * kPerVector) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + kPerVector));
    __m256i ma = L::Equal256(a, wanted[0]);
    __m256i mb = L::Equal256(b, wanted[0]);
    for (int k = 1; k < K; ++k) {
      ma = _mm256_or_si256(ma, L::Equal256(a, wanted[k]));
      mb = _mm256_or_si256(mb, L::Equal256(b, wanted[k]));
    }
    const auto ra = static_cast<unsigned>(_mm256_movemask_epi8(ma));
    const auto rb = static_cast<unsigned>(_mm256_movemask_epi8(mb));
    if ((ra | rb) != 0) {
      return ra != 0 ? p + (__builtin_ctz(ra) >> L::kShift)
                     : p + kPerVector + (__builtin_ctz(rb) >> L::kShift);
    }
    p += 2 * kPerVector;
  }
  for (; p < last; ++p) {
    for (int k = 0; k < K; ++k) {
      if (*p == units[k]) return p;
    }
  }
  return last;
}

template <class Unit, int K>
__attribute__((target("sse2"))) const Unit* FindSse2(const Unit* p, const Unit* last,
                                                      const BasicUnitSet<Unit>& set) noexcept {
  using L = Lanes<Unit>;
  constexpr std::ptrdiff_t kPerVector = 16 / sizeof(Unit);
  const Unit* units = set.Units();
  __m128i wanted[K];
  for (int k = 0; k < K; ++k) wanted[k] = L::Broadcast128(units[k]);
  while (last - p >= 2 * kPerVector) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + kPerVector));
    __m128i ma = L::Equal128(a, wanted[0]);
    __m128i mb = L::Equal128(b, wanted[0]);
    for (int k = 1; k < K; ++k) {
      ma = _mm_or_si128(ma, L::Equal128(a, wanted[k]));
      mb = _mm_or_si128(mb, L::Equal128(b, wanted[k]));
    }
    const auto ra = static_cast<unsigned>(_mm_movemask_epi8(ma));
    const auto rb = static_cast<unsigned>(_mm_movemask_epi8(mb));
    if ((ra | rb) != 0) {
      return ra != 0 ? p + (__builtin_ctz(ra) >> L::kShift)
                     : p + kPerVector + (__builtin_ctz(rb) >> L::kShift);
    }
    p += 2 * kPerVector;
  }
  for (; p < last; ++p) {
    for (int k = 0; k < K; ++k) {
      if (*p == units[k]) return p;
    }
  }
  return last;
}

template <class Unit, template <class, int> class F>
struct FinderTable {
  static constexpr typename BasicUnitSet<Unit>::Finder kByCount[] = {
      nullptr,       F<Unit, 1>::Run, F<Unit, 2>::Run, F<Unit, 3>::Run, F<Unit, 4>::Run,
      F<Unit, 5>::Run, F<Unit, 6>::Run, F<Unit, 7>::Run, F<Unit, 8>::Run};
};

template <class Unit, int K>
struct Avx2 {
  static const Unit* Run(const Unit* p, const Unit* last, const BasicUnitSet<Unit>& set) noexcept {
    return FindAvx2<Unit, K>(p, last, set);
  }
};
template <class Unit, int K>
struct Sse2 {
  static const Unit* Run(const Unit* p, const Unit* last, const BasicUnitSet<Unit>& set) noexcept {
    return FindSse2<Unit, K>(p, last, set);
  }
};

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

template <class Unit>
bool BasicUnitSet<Unit>::TryAdd(Unit unit) noexcept {
  if (Contains(unit)) return true;
  if (count_ == kMax) return false;
  units_[count_++] = unit;
  if (unit < 128) ascii_[unit] = true;
  ChooseFinder();
  return true;
}

template <class Unit>
void BasicUnitSet<Unit>::Add(Unit unit) {
  if (!TryAdd(unit)) throw std::length_error("too many code units in a search set");
}

template <class Unit>
bool BasicUnitSet<Unit>::Contains(Unit unit) const noexcept {
  if (unit < 128) return ascii_[unit];
  for (std::size_t i = 0; i < count_; ++i) {
    if (units_[i] == unit) return true;
  }
  return false;
}

template <class Unit>
void BasicUnitSet<Unit>::ChooseFinder() noexcept {
  find_ = count_ == 0 ? &FindNone<Unit> : &FindScalar<Unit>;
#if KELVORAT_X86
  if (count_ >= 1 && count_ <= 8) {
    if (HasAvx2()) {
      find_ = FinderTable<Unit, Avx2>::kByCount[count_];
    } else if (HasSse2()) {
      find_ = FinderTable<Unit, Sse2>::kByCount[count_];
    }
  }
#endif
}

template class BasicUnitSet<char16_t>;
template class BasicUnitSet<unsigned char>;

}  // namespace kelvorat
