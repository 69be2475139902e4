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

// ---- Windows and messages -------------------------------------------------

// A window or menu handle, as the platform hands it out; never dereferenced.
using WindowHandle = void*;
using MenuHandle = void*;
// The two message parameters and the reply, each as wide as a pointer.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using MessageResult = std::intptr_t;

// Sends a message to a window and waits for its reply. Windows: SendMessageA.
MessageResult SendHostMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam) noexcept;

// ---- Popup menu -------------------------------------------------------------

inline constexpr std::uint32_t kMenuString = 0x0;       // MF_STRING
inline constexpr std::uint32_t kMenuSeparator = 0x800;  // MF_SEPARATOR
inline constexpr std::uint32_t kTrackReturnCommand = 0x100;  // TPM_RETURNCMD

// A point on the screen, in pixels.
struct ScreenPoint {
  std::int32_t x;
  std::int32_t y;
};

// An empty popup menu, or null. Windows: CreatePopupMenu.
MenuHandle CreatePopup() noexcept;
// Appends an item; text is ANSI and may be null for a separator. Windows: AppendMenuA.
bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char* text) noexcept;
// The mouse cursor's position; point is left as it is when the call fails.
// Windows: GetCursorPos.
bool GetCursorPosition(ScreenPoint& point) noexcept;
// Shows the menu at (x, y) and returns when it closes; with kTrackReturnCommand
// the result is the chosen item's id, 0 when dismissed. No exclusion rectangle.
// Windows: TrackPopupMenu.
int TrackPopup(MenuHandle menu, std::uint32_t flags, int x, int y, int reserved,
               WindowHandle owner) noexcept;
// Releases the menu. Windows: DestroyMenu.
bool DestroyPopup(MenuHandle menu) noexcept;

// ---- Message box ------------------------------------------------------------

inline constexpr std::uint32_t kBoxOk = 0x0;             // MB_OK
inline constexpr std::uint32_t kBoxYesNo = 0x4;          // MB_YESNO
inline constexpr std::uint32_t kBoxIconError = 0x10;     // MB_ICONERROR
inline constexpr std::uint32_t kBoxIconQuestion = 0x20;  // MB_ICONQUESTION
inline constexpr int kAnswerOk = 1;                      // IDOK
inline constexpr int kAnswerYes = 6;                     // IDYES
inline constexpr int kAnswerNo = 7;                      // IDNO

// Shows a modal message box owned by the window; text and caption are ANSI.
// Answers the button chosen, 0 when the box could not be shown.
// Windows: MessageBoxA.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                   std::uint32_t style) noexcept;

// ---- ANSI strings -----------------------------------------------------------

// Copies at most maxCount - 1 bytes of source and a terminating zero into
// destination; with maxCount 0 nothing is written. Answers destination.
// Precondition: destination holds maxCount bytes. Windows: lstrcpynA.
char* CopyAnsi(char* destination, const char* source, int maxCount) noexcept;

}  // namespace kelvorat::platform
