// The one seam between Kelvorat and the platform it runs on.
//
// Every call the plug-in makes into the operating system goes through these
// declarations. Win32Platform.cpp forwards them to the real API; on other
// systems SimulatedPlatform.cpp answers them with the project's own code and
// with the objects a test or the tool installs. Nothing outside platform/
// includes <windows.h>.
#pragma once

#include <cstdint>

namespace kelvorat::platform {

// Locale and flags of a string comparison, with the platform's own values.
inline constexpr std::uint32_t kLocaleUserDefault = 0x400;
inline constexpr std::uint32_t kNormIgnoreCase = 0x1;

// Results of a string comparison; 0 means the call failed.
inline constexpr int kCompareFailed = 0;
inline constexpr int kCompareLess = 1;
inline constexpr int kCompareEqual = 2;
inline constexpr int kCompareGreater = 3;

// Compares two stretches of UTF-16 text under the given locale and flags.
// Windows: CompareStringW. Elsewhere: code units compared one by one; with
// kNormIgnoreCase, letters of the Basic Multilingual Plane that differ only in
// case compare equal. Precondition: both pointers address at least the given
// number of code units; the counts are not negative.
int CompareStrings(std::uint32_t locale, std::uint32_t flags,
                   const char16_t* first, int firstCount,
                   const char16_t* second, int secondCount);

}  // namespace kelvorat::platform
