// Controls of the simulated platform, for tests and the tool: each call of the
// seam can be observed or made to fail.
#pragma once

#include <cstdint>
#include <functional>

namespace kelvorat::platform {

// Replaces the string comparison; an empty hook restores the project's own.
// Answers the hook that was installed before.
using CompareHook = std::function<int(std::uint32_t locale, std::uint32_t flags,
                                      const char16_t* first, int firstCount,
                                      const char16_t* second, int secondCount)>;
CompareHook SetCompareHook(CompareHook hook);

}  // namespace kelvorat::platform
