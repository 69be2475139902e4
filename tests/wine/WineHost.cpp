#include "tests/wine/WineHost.h"

#include <chrono>

namespace kelvorat::wine_test {
namespace {

constexpr wchar_t kClassName[] = L"KelvoratTestHost";
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU: the menu a popup menu window shows

// Waits until found answers a window, or the time is up.
template <typename Find>
HWND WaitFor(Find find, DWORD timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (const HWND window = find()) return window;
    Sleep(5);
  }
  return nullptr;
}

struct WindowSearch {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, search->className) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the thread with the class name.
HWND VisibleWindowOf(DWORD thread, const wchar_t* className) {
  WindowSearch search{className, nullptr};
  EnumThreadWindows(thread, &MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PostKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

std::string WindowTextA(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

// ---- HostWindow ----

HostWindow::HostWindow(host::SimulatedEditor& editor) : editor_(&editor) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = &HostWindow::Procedure;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = kClassName;
  RegisterClassW(&cls);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kClassName, L"Kelvorat test host", WS_OVERLAPPEDWINDOW, 600, 400, 320, 240, nullptr,
                            nullptr, GetModuleHandleW(nullptr), this);
  if (window_ != nullptr) {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    Pump();
  }
}

HostWindow::~HostWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  Pump();
}

void HostWindow::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    if (message >= WM_USER) {
      LARGE_INTEGER start;
      LARGE_INTEGER end;
      QueryPerformanceCounter(&start);
      const auto reply = static_cast<LRESULT>(self->editor_->OnMessage(message, wParam, lParam));
      QueryPerformanceCounter(&end);
      self->notes_.inEditor += end.QuadPart - start.QuadPart;
      return reply;
    }
    switch (message) {
      case WM_ENTERMENULOOP:
        if (wParam == TRUE) ++self->notes_.enterMenuLoop;
        break;
      case WM_EXITMENULOOP:
        ++self->notes_.exitMenuLoop;
        QueryPerformanceCounter(&self->notes_.menuClosedAt);
        break;
      case WM_COMMAND:
      case WM_MENUCOMMAND:
        ++self->notes_.commands;
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// ---- Plugin ----

const ExportInfo kExports[7] = {
    {"OnCommand", 1, 1},     {"QueryStatus", 2, 2}, {"OnEvents", 3, 3},  {"GetMenuTextID", 4, 0},
    {"GetStatusMessageID", 5, 0}, {"GetBitmapID", 6, 0}, {"PlugInProc", 7, 4},
};

std::wstring Plugin::Path() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + L"Kelvorat.dll";
}

Plugin::Plugin() {
  module_ = LoadLibraryW(Path().c_str());
  if (module_ == nullptr) {
    error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return;
  }
  FARPROC byName[7] = {};
  for (const ExportInfo& e : kExports) {
    byName[e.ordinal - 1] = GetProcAddress(module_, e.name);
    byOrdinal_[e.ordinal - 1] = GetProcAddress(module_, MAKEINTRESOURCEA(e.ordinal));
    if (byName[e.ordinal - 1] == nullptr) error_ += std::string(e.name) + " not found by name; ";
    if (byOrdinal_[e.ordinal - 1] == nullptr) error_ += "ordinal " + std::to_string(e.ordinal) + " not found; ";
    if (byName[e.ordinal - 1] != byOrdinal_[e.ordinal - 1]) {
      error_ += std::string(e.name) + " is not ordinal " + std::to_string(e.ordinal) + "; ";
    }
  }
  OnCommand = reinterpret_cast<OnCommandFn>(reinterpret_cast<void*>(byName[0]));
  QueryStatus = reinterpret_cast<QueryStatusFn>(reinterpret_cast<void*>(byName[1]));
  OnEvents = reinterpret_cast<OnEventsFn>(reinterpret_cast<void*>(byName[2]));
  GetMenuTextID = reinterpret_cast<IdFn>(reinterpret_cast<void*>(byName[3]));
  GetStatusMessageID = reinterpret_cast<IdFn>(reinterpret_cast<void*>(byName[4]));
  GetBitmapID = reinterpret_cast<IdFn>(reinterpret_cast<void*>(byName[5]));
  PlugInProc = reinterpret_cast<PlugInProcFn>(reinterpret_cast<void*>(byName[6]));
}

Plugin::~Plugin() {
  if (module_ != nullptr) FreeLibrary(module_);
}

// ---- The stack after a call ----

extern "C" std::uint32_t __cdecl kelvorat_stack_left(FARPROC fn, std::uint32_t count, const std::uint32_t* args);

// ebx, esi, edi and ebp survive any Windows call; edi keeps the stack pointer
// from before the arguments were pushed.
asm(R"(
  .text
  .globl _kelvorat_stack_left
_kelvorat_stack_left:
  pushl %ebp
  movl %esp, %ebp
  pushl %esi
  pushl %edi
  pushl %ebx
  movl 12(%ebp), %ecx
  movl 16(%ebp), %esi
  movl %esp, %edi
1:
  testl %ecx, %ecx
  jz 2f
  pushl -4(%esi,%ecx,4)
  decl %ecx
  jmp 1b
2:
  call *8(%ebp)
  movl %edi, %eax
  subl %esp, %eax
  movl %edi, %esp
  popl %ebx
  popl %edi
  popl %esi
  popl %ebp
  ret
)");

std::uint32_t StackLeftByCall(FARPROC fn, const std::vector<std::uint32_t>& arguments) {
  return kelvorat_stack_left(fn, static_cast<std::uint32_t>(arguments.size()), arguments.data());
}

// ---- MenuPicker ----

MenuPicker::MenuPicker(int choice, DWORD timeoutMs)
    : thread_([this, ui = GetCurrentThreadId(), choice, timeoutMs] { Run(ui, choice, timeoutMs); }) {}

MenuPicker::~MenuPicker() {
  if (thread_.joinable()) thread_.join();
}

const MenuPicker::Result& MenuPicker::Finish() {
  if (thread_.joinable()) thread_.join();
  return result_;
}

void MenuPicker::Run(DWORD uiThread, int choice, DWORD timeoutMs) {
  const HWND menuWindow = WaitFor([&] { return VisibleWindowOf(uiThread, L"#32768"); }, timeoutMs);
  if (menuWindow == nullptr) {
    result_.error = "no popup menu showed";
    return;
  }
  result_.shown = true;
  GetWindowRect(menuWindow, &result_.rect);
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kGetMenuHandle, 0, 0));
  if (menu == nullptr) {
    result_.error = "the menu window gave no menu";
    PostKey(menuWindow, VK_ESCAPE);
    return;
  }
  const int count = GetMenuItemCount(menu);
  int target = -1;
  int downs = 0;
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    MenuItem item{(info.fType & MFT_SEPARATOR) != 0 ? static_cast<std::uint32_t>(MF_SEPARATOR) : 0u, info.wID, ""};
    if (item.flags == 0) {
      char text[256] = {};
      GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
      item.text = text;
      if (target < 0) ++downs;
      if (target < 0 && static_cast<int>(item.id) == choice) target = position;
    }
    result_.items.push_back(item);
  }
  if (choice == kDismiss) {
    PostKey(menuWindow, VK_ESCAPE);
    return;
  }
  if (choice == kClickOutside) {
    // Above and to the left of the menu, in its client coordinates.
    const LPARAM beside = MAKELPARAM(static_cast<WORD>(-30), static_cast<WORD>(-30));
    PostMessageW(menuWindow, WM_LBUTTONDOWN, MK_LBUTTON, beside);
    PostMessageW(menuWindow, WM_LBUTTONUP, 0, beside);
    return;
  }
  if (target < 0) {
    result_.error = "no item with id " + std::to_string(choice);
    PostKey(menuWindow, VK_ESCAPE);
    return;
  }
  // Down from no highlighted item: the first text item, then each next one,
  // separators skipped.
  for (int i = 0; i < downs; ++i) PostKey(menuWindow, VK_DOWN);
  const bool highlighted = WaitFor(
      [&]() -> HWND {
        return (GetMenuState(menu, static_cast<UINT>(target), MF_BYPOSITION) & MF_HILITE) != 0 ? menuWindow
                                                                                                 : nullptr;
      },
      timeoutMs) != nullptr;
  if (!highlighted) {
    result_.error = "the item at position " + std::to_string(target) + " was not highlighted after " +
                    std::to_string(downs) + " Down keys";
    PostKey(menuWindow, VK_ESCAPE);
    return;
  }
  PostKey(menuWindow, VK_RETURN);
}

// ---- BoxAnswerer ----

BoxAnswerer::BoxAnswerer(int button, DWORD timeoutMs)
    : thread_([this, ui = GetCurrentThreadId(), button, timeoutMs] { Run(ui, button, timeoutMs); }) {}

BoxAnswerer::~BoxAnswerer() {
  if (thread_.joinable()) thread_.join();
}

const BoxAnswerer::Result& BoxAnswerer::Finish() {
  if (thread_.joinable()) thread_.join();
  return result_;
}

void BoxAnswerer::Run(DWORD uiThread, int button, DWORD timeoutMs) {
  const HWND box = WaitFor([&] { return VisibleWindowOf(uiThread, L"#32770"); }, timeoutMs);
  if (box == nullptr) {
    result_.error = "no message box showed";
    return;
  }
  result_.shown = true;
  result_.owner = GetWindow(box, GW_OWNER);
  result_.caption = WindowTextA(box);
  result_.text = WindowTextA(GetDlgItem(box, 0xFFFF));  // the message box's text control
  result_.hasYes = GetDlgItem(box, IDYES) != nullptr;
  result_.hasNo = GetDlgItem(box, IDNO) != nullptr;
  result_.hasOk = GetDlgItem(box, IDOK) != nullptr;
  result_.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      result_.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    }
  }
  const HWND press = GetDlgItem(box, button);
  if (press == nullptr) {
    result_.error = "the box has no button " + std::to_string(button);
    for (const int other : {IDOK, IDNO, IDCANCEL}) {
      if (const HWND close = GetDlgItem(box, other)) {
        PostMessageW(close, BM_CLICK, 0, 0);
        break;
      }
    }
    return;
  }
  PostMessageW(press, BM_CLICK, 0, 0);
}

std::u16string FromCp932(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  if (n <= 0) return u"<invalid>";
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

}  // namespace kelvorat::wine_test
