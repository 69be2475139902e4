#include "platform/SimulatedDesktop.h"

namespace kelvorat::platform {
namespace {

SimulatedDesktop*& CurrentDesktop() noexcept {
  static SimulatedDesktop* current = nullptr;
  return current;
}

void* HandleFrom(std::uintptr_t value) noexcept { return reinterpret_cast<void*>(value); }

}  // namespace

class SimulatedDesktop::Crossing {
 public:
  explicit Crossing(CrossingHook hook) noexcept : hook_(hook) {
    if (hook_ != nullptr) hook_(true);
  }
  ~Crossing() {
    if (hook_ != nullptr) hook_(false);
  }
  Crossing(const Crossing&) = delete;
  Crossing& operator=(const Crossing&) = delete;

 private:
  CrossingHook hook_;
};

SimulatedDesktop::SimulatedDesktop() : previous_(CurrentDesktop()) { CurrentDesktop() = this; }

SimulatedDesktop::~SimulatedDesktop() { CurrentDesktop() = previous_; }

SimulatedDesktop* SimulatedDesktop::Current() noexcept { return CurrentDesktop(); }

WindowHandle SimulatedDesktop::AddWindow(WindowProcedure& procedure) {
  WindowHandle handle = HandleFrom(nextWindow_);
  nextWindow_ += 0x10;
  windows_[handle] = &procedure;
  return handle;
}

void SimulatedDesktop::RemoveWindow(WindowHandle window) { windows_.erase(window); }

MessageResult SimulatedDesktop::Send(WindowHandle window, std::uint32_t message, WParam wParam,
                                     LParam lParam) noexcept {
  Crossing crossing(hook_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  try {
    return it->second->OnMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

MenuHandle SimulatedDesktop::CreatePopup() noexcept {
  Crossing crossing(hook_);
  if (menu_.creationFails_) return nullptr;
  try {
    MenuHandle handle = HandleFrom(menu_.nextHandle_);
    menu_.menus_.emplace(handle, std::vector<MenuItemRecord>{});
    menu_.nextHandle_ += 0x10;
    ++menu_.created_;
    return handle;
  } catch (...) {
    return nullptr;
  }
}

bool SimulatedDesktop::AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id,
                                      const char* text) noexcept {
  Crossing crossing(hook_);
  const auto it = menu_.menus_.find(menu);
  if (it == menu_.menus_.end()) return false;
  try {
    it->second.push_back(MenuItemRecord{flags, id, text != nullptr, text != nullptr ? text : ""});
    return true;
  } catch (...) {
    return false;
  }
}

bool SimulatedDesktop::GetCursorPosition(ScreenPoint& point) noexcept {
  Crossing crossing(hook_);
  point = cursor_;
  return true;
}

int SimulatedDesktop::TrackPopup(MenuHandle menu, std::uint32_t flags, int x, int y, int reserved,
                                 WindowHandle owner) noexcept {
  Crossing crossing(hook_);
  const auto it = menu_.menus_.find(menu);
  if (it == menu_.menus_.end()) return 0;
  const int answer = (flags & kTrackReturnCommand) != 0 ? menu_.answer_ : 0;
  try {
    menu_.trackings_.push_back(MenuTrackRecord{menu, flags, x, y, reserved, owner, it->second, answer});
  } catch (...) {
    return 0;
  }
  return answer;
}

bool SimulatedDesktop::DestroyPopup(MenuHandle menu) noexcept {
  Crossing crossing(hook_);
  if (menu_.menus_.erase(menu) == 0) return false;
  ++menu_.destroyed_;
  return true;
}

int SimulatedDesktop::ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                     std::uint32_t style) noexcept {
  Crossing crossing(hook_);
  try {
    box_.shown_.push_back(
        MessageBoxRecord{owner, text != nullptr ? text : "", caption != nullptr ? caption : "", style});
  } catch (...) {
    return 0;
  }
  return box_.answer_;
}

}  // namespace kelvorat::platform
