// The platform on systems without Win32: the project's own answers.
#include "platform/CaseFold.h"
#include "platform/Platform.h"
#include "platform/SimulatedPlatform.h"

#include <utility>

namespace kelvorat::platform {
namespace {

CompareHook& CurrentCompareHook() {
  static CompareHook hook;
  return hook;
}

int CompareOwn(std::uint32_t flags, const char16_t* first, int firstCount,
               const char16_t* second, int secondCount) {
  const bool ignoreCase = (flags & kNormIgnoreCase) != 0;
  const int n = firstCount < secondCount ? firstCount : secondCount;
  for (int i = 0; i < n; ++i) {
    char16_t a = first[i];
    char16_t b = second[i];
    if (a != b && ignoreCase) {
      a = FoldCase(a);
      b = FoldCase(b);
    }
    if (a != b) return a < b ? kCompareLess : kCompareGreater;
  }
  if (firstCount == secondCount) return kCompareEqual;
  return firstCount < secondCount ? kCompareLess : kCompareGreater;
}

}  // namespace

int CompareStrings(std::uint32_t locale, std::uint32_t flags,
                   const char16_t* first, int firstCount,
                   const char16_t* second, int secondCount) {
  if (const CompareHook& hook = CurrentCompareHook()) {
    return hook(locale, flags, first, firstCount, second, secondCount);
  }
  if (first == nullptr || second == nullptr || firstCount < 0 || secondCount < 0) {
    return kCompareFailed;
  }
  return CompareOwn(flags, first, firstCount, second, secondCount);
}

CompareHook SetCompareHook(CompareHook hook) {
  return std::exchange(CurrentCompareHook(), std::move(hook));
}

}  // namespace kelvorat::platform
