// Puts a string comparison of the test's own in place of the platform's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/SimulatedPlatform.h"

namespace kelvorat::test {

// Installs `hook` for the lifetime of the object, then restores the one before.
class ScopedCompareHook {
 public:
  explicit ScopedCompareHook(platform::CompareHook hook)
      : previous_(platform::SetCompareHook(std::move(hook))) {}
  ~ScopedCompareHook() { platform::SetCompareHook(std::move(previous_)); }
  ScopedCompareHook(const ScopedCompareHook&) = delete;
  ScopedCompareHook& operator=(const ScopedCompareHook&) = delete;

 private:
  platform::CompareHook previous_;
};

// The arguments of one call of the platform comparison.
struct CompareCall {
  std::uint32_t locale;
  std::uint32_t flags;
  const char16_t* first;
  int firstCount;
  const char16_t* second;
  int secondCount;
};

// Records every call of the platform comparison and answers `answer` to each.
// Past kRunaway calls it answers "equal" (2), so that a search running away
// beyond its window ends at once instead of scanning for minutes.
class RecordingComparison {
 public:
  static constexpr std::size_t kRunaway = 10000;

  explicit RecordingComparison(int answer)
      : guard_([this, answer](std::uint32_t locale, std::uint32_t flags, const char16_t* first,
                              int firstCount, const char16_t* second, int secondCount) {
          calls.push_back({locale, flags, first, firstCount, second, secondCount});
          return calls.size() > kRunaway ? 2 : answer;
        }) {}

  std::vector<CompareCall> calls;

 private:
  ScopedCompareHook guard_;
};

}  // namespace kelvorat::test
