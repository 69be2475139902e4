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

MessageResult SendHostMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) noexcept {
  static_assert(sizeof(WParam) == sizeof(WPARAM) && sizeof(LParam) == sizeof(LPARAM) &&
                    sizeof(MessageResult) == sizeof(LRESULT),
                "message parameters as wide as the platform's");
  return static_cast<MessageResult>(::SendMessageA(static_cast<HWND>(window), static_cast<UINT>(message),
                                                   static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
}

MenuHandle CreatePopup() noexcept { return ::CreatePopupMenu(); }

bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char* text) noexcept {
  return ::AppendMenuA(static_cast<HMENU>(menu), static_cast<UINT>(flags), static_cast<UINT_PTR>(id), text) != FALSE;
}

bool GetCursorPosition(ScreenPoint& point) noexcept {
  POINT p{};
  if (::GetCursorPos(&p) == FALSE) return false;
  point.x = static_cast<std::int32_t>(p.x);
  point.y = static_cast<std::int32_t>(p.y);
  return true;
}

int TrackPopup(MenuHandle menu, std::uint32_t flags, int x, int y, int reserved,
               WindowHandle owner) noexcept {
  return static_cast<int>(::TrackPopupMenu(static_cast<HMENU>(menu), static_cast<UINT>(flags), x, y, reserved,
                                           static_cast<HWND>(owner), nullptr));
}

bool DestroyPopup(MenuHandle menu) noexcept { return ::DestroyMenu(static_cast<HMENU>(menu)) != FALSE; }

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                   std::uint32_t style) noexcept {
  return ::MessageBoxA(static_cast<HWND>(owner), text, caption, static_cast<UINT>(style));
}

char* CopyAnsi(char* destination, const char* source, int maxCount) noexcept {
  return ::lstrcpynA(destination, source, maxCount);
}

}  // namespace kelvorat::platform
