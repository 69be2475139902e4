// The Windows side of the test host: a real window whose procedure answers
// the host messages with the simulated editor, Kelvorat.dll loaded with
// LoadLibrary, and helpers that act as the user on another thread: pick an
// item of the popup menu with keys, press a message box's button.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "host/SimulatedEditor.h"
#include "tests/wine/CommandCases.h"

namespace kelvorat::wine_test {

// A top-level window of the calling thread; messages from WM_USER on go to
// the editor, the others to the default procedure. It also notes the
// menu-loop notifications and commands it receives.
class HostWindow {
 public:
  explicit HostWindow(host::SimulatedEditor& editor);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return window_; }
  void SetEditor(host::SimulatedEditor& editor) { editor_ = &editor; }

  struct Notes {
    int enterMenuLoop = 0;  // WM_ENTERMENULOOP with wParam TRUE (a popup)
    int exitMenuLoop = 0;
    int commands = 0;  // WM_COMMAND and WM_MENUCOMMAND
    LARGE_INTEGER menuClosedAt{};  // QueryPerformanceCounter at the last WM_EXITMENULOOP
    std::int64_t inEditor = 0;     // QueryPerformanceCounter ticks spent answering host messages
  };
  Notes& Noted() { return notes_; }
  // Delivers what is waiting in the thread's queue.
  static void Pump();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
  host::SimulatedEditor* editor_;
  Notes notes_;
};

// The seven exports, as the host calls them.
using OnCommandFn = void(__stdcall*)(HWND);
using QueryStatusFn = std::int32_t(__stdcall*)(HWND, void*);
using OnEventsFn = void(__stdcall*)(HWND, std::uint32_t, LPARAM);
using IdFn = std::int32_t(__stdcall*)();
using PlugInProcFn = std::int32_t(__stdcall*)(HWND, std::uint32_t, WPARAM, LPARAM);

// The exports in ordinal order: name, ordinal, 32-bit arguments.
struct ExportInfo {
  const char* name;
  int ordinal;
  int arguments;
};
extern const ExportInfo kExports[7];

// Kelvorat.dll from the test program's own folder, loaded for the lifetime of
// the object; unloading it puts its module-wide values back.
class Plugin {
 public:
  Plugin();
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Empty when every export was found by name and by ordinal at the same address.
  const std::string& Error() const { return error_; }
  HMODULE Module() const { return module_; }
  static std::wstring Path();
  // The export of the ordinal (1 to 7), as found by ordinal.
  FARPROC ByOrdinal(int ordinal) const { return byOrdinal_[ordinal - 1]; }

  OnCommandFn OnCommand = nullptr;
  QueryStatusFn QueryStatus = nullptr;
  OnEventsFn OnEvents = nullptr;
  IdFn GetMenuTextID = nullptr;
  IdFn GetStatusMessageID = nullptr;
  IdFn GetBitmapID = nullptr;
  PlugInProcFn PlugInProc = nullptr;

 private:
  HMODULE module_ = nullptr;
  FARPROC byOrdinal_[7] = {};
  std::string error_;
};

// Calls fn with the 32-bit arguments pushed right to left, as a stdcall caller
// does, and answers the bytes the call left on the stack: 0 when the callee
// removed its arguments.
std::uint32_t StackLeftByCall(FARPROC fn, const std::vector<std::uint32_t>& arguments);

// Acts on the popup menu that the calling thread is about to track: waits on
// another thread for it to show, reads its items and where it stands, then
// picks the item of the choice with Down keys and Enter posted to the menu
// window (after checking the item is the highlighted one), or closes it with
// Escape for kDismiss and with a click beside it for kClickOutside.
class MenuPicker {
 public:
  explicit MenuPicker(int choice, DWORD timeoutMs = 10000);
  ~MenuPicker();
  MenuPicker(const MenuPicker&) = delete;
  MenuPicker& operator=(const MenuPicker&) = delete;

  struct Result {
    bool shown = false;
    std::vector<MenuItem> items;  // texts as GetMenuStringA gives them
    RECT rect{};                  // the menu window, in screen coordinates
    std::string error;            // empty when all went as planned
  };
  // Waits for the helper thread. Precondition: the menu loop has ended.
  const Result& Finish();

 private:
  void Run(DWORD uiThread, int choice, DWORD timeoutMs);
  std::thread thread_;
  Result result_;
};

// Answers the message box that the calling thread is about to show: reads it
// and presses the button.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(int button, DWORD timeoutMs = 10000);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  struct Result {
    bool shown = false;
    HWND owner = nullptr;
    std::string caption;  // ANSI bytes
    std::string text;     // ANSI bytes
    bool hasYes = false;
    bool hasNo = false;
    bool hasOk = false;
    bool hasCancel = false;
    HICON icon = nullptr;
    std::string error;
  };
  // Waits for the helper thread. Precondition: the box has been closed or never shown.
  const Result& Finish();

 private:
  void Run(DWORD uiThread, int button, DWORD timeoutMs);
  std::thread thread_;
  Result result_;
};

// Text of code page 932 bytes, as MultiByteToWideChar decodes them.
std::u16string FromCp932(const std::string& bytes);

}  // namespace kelvorat::wine_test
