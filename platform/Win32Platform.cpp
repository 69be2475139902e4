// The platform on Windows: every call forwards to the Win32 API.
#include "platform/Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace kelvorat::platform {

int CompareStrings(std::uint32_t locale, std::uint32_t flags,
                   const char16_t* first, int firstCount,
                   const char16_t* second, int secondCount) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected on Windows");
  return ::CompareStringW(static_cast<LCID>(locale), static_cast<DWORD>(flags),
                          reinterpret_cast<const wchar_t*>(first), firstCount,
                          reinterpret_cast<const wchar_t*>(second), secondCount);
}

}  // namespace kelvorat::platform
