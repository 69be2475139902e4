// The platform on systems without Win32: the project's own answers.
#include "platform/CaseFold.h"
#include "platform/Platform.h"
#include "platform/SimulatedDesktop.h"
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

// Windows, menus and message boxes: the current simulated desktop's, if any.

MessageResult SendHostMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr ? desktop->Send(window, message, wParam, lParam) : 0;
}

MenuHandle CreatePopup() noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr ? desktop->CreatePopup() : nullptr;
}

bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char* text) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr && desktop->AppendMenuItem(menu, flags, id, text);
}

bool GetCursorPosition(ScreenPoint& point) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr && desktop->GetCursorPosition(point);
}

int TrackPopup(MenuHandle menu, std::uint32_t flags, int x, int y, int reserved,
               WindowHandle owner) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr ? desktop->TrackPopup(menu, flags, x, y, reserved, owner) : 0;
}

bool DestroyPopup(MenuHandle menu) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr && desktop->DestroyPopup(menu);
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                   std::uint32_t style) noexcept {
  SimulatedDesktop* desktop = SimulatedDesktop::Current();
  return desktop != nullptr ? desktop->ShowMessageBox(owner, text, caption, style) : 0;
}

char* CopyAnsi(char* destination, const char* source, int maxCount) noexcept {
  // The copy stops one byte short of maxCount, or at the source's end.
  if (maxCount <= 0) return destination;
  int i = 0;
  for (; i < maxCount - 1 && source[i] != '\0'; ++i) destination[i] = source[i];
  destination[i] = '\0';
  return destination;
}

}  // namespace kelvorat::platform
