// The simulated desktop: what stands behind the window, menu and message-box
// calls of the platform seam where there is no Win32. A test or the tool
// creates one; while it lives, messages sent to a window handle it handed out
// go to the object registered for that handle, the popup menu is a scripted
// menu and the message box a scripted one. With no desktop alive the calls
// behave as on a system without windows: no reply, no menu, no box.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kelvorat::platform {

// The object behind a simulated window: answers the messages sent to it.
// Whatever it throws is kept from the sender, who gets the reply 0, as a
// window of another program cannot throw into its caller.
class WindowProcedure {
 public:
  virtual MessageResult OnMessage(std::uint32_t message, WParam wParam, LParam lParam) = 0;

 protected:
  ~WindowProcedure() = default;
};

struct MenuItemRecord {
  std::uint32_t flags;
  std::uintptr_t id;
  bool hasText;
  std::string text;  // ANSI bytes as appended
};

struct MenuTrackRecord {
  MenuHandle menu;
  std::uint32_t flags;
  int x;
  int y;
  int reserved;
  WindowHandle owner;
  std::vector<MenuItemRecord> items;  // the menu's items when it was tracked
  int answer;                         // what the tracking returned
};

// Records the menus created, their items and trackings, and answers a
// chosen id (0: the menu dismissed).
class ScriptedMenu {
 public:
  void SetAnswer(int answer) { answer_ = answer; }
  // Makes CreatePopup fail (answer null) while set.
  void SetCreationFails(bool fails) { creationFails_ = fails; }

  const std::vector<MenuTrackRecord>& Trackings() const { return trackings_; }
  int Created() const { return created_; }
  int Destroyed() const { return destroyed_; }
  // Menus created and not yet destroyed.
  int Alive() const { return static_cast<int>(menus_.size()); }

 private:
  friend class SimulatedDesktop;
  int answer_ = 0;
  bool creationFails_ = false;
  int created_ = 0;
  int destroyed_ = 0;
  std::uintptr_t nextHandle_ = 0x1000;
  std::map<MenuHandle, std::vector<MenuItemRecord>> menus_;
  std::vector<MenuTrackRecord> trackings_;
};

struct MessageBoxRecord {
  WindowHandle owner;
  std::string text;     // ANSI bytes
  std::string caption;  // ANSI bytes
  std::uint32_t style;
};

// Records every box shown and answers a chosen button.
class ScriptedMessageBox {
 public:
  void SetAnswer(int answer) { answer_ = answer; }
  const std::vector<MessageBoxRecord>& Shown() const { return shown_; }

 private:
  friend class SimulatedDesktop;
  int answer_ = kAnswerOk;
  std::vector<MessageBoxRecord> shown_;
};

class SimulatedDesktop {
 public:
  // Becomes the current desktop until destroyed; the one before it comes back then.
  SimulatedDesktop();
  ~SimulatedDesktop();
  SimulatedDesktop(const SimulatedDesktop&) = delete;
  SimulatedDesktop& operator=(const SimulatedDesktop&) = delete;

  static SimulatedDesktop* Current() noexcept;

  // A new window handle whose messages go to procedure. Precondition: the
  // procedure outlives the handle's use.
  WindowHandle AddWindow(WindowProcedure& procedure);
  void RemoveWindow(WindowHandle window);

  void SetCursor(ScreenPoint point) { cursor_ = point; }
  ScriptedMenu& Menu() { return menu_; }
  const ScriptedMenu& Menu() const { return menu_; }
  ScriptedMessageBox& MessageBox() { return box_; }
  const ScriptedMessageBox& MessageBox() const { return box_; }

  // Called with true when a call enters the simulated desktop and with false
  // when it leaves: lets a test tell the work of the simulated windows apart
  // from the work of the code that calls them (its allocations, for one).
  using CrossingHook = void (*)(bool entering);
  void SetCrossingHook(CrossingHook hook) { hook_ = hook; }

  // The seam's calls, as the simulated platform forwards them.
  MessageResult Send(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) noexcept;
  MenuHandle CreatePopup() noexcept;
  bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t id, const char* text) noexcept;
  bool GetCursorPosition(ScreenPoint& point) noexcept;
  int TrackPopup(MenuHandle menu, std::uint32_t flags, int x, int y, int reserved, WindowHandle owner) noexcept;
  bool DestroyPopup(MenuHandle menu) noexcept;
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t style) noexcept;

 private:
  class Crossing;

  SimulatedDesktop* previous_;
  std::map<WindowHandle, WindowProcedure*> windows_;
  std::uintptr_t nextWindow_ = 0x10000;
  ScreenPoint cursor_{0, 0};
  ScriptedMenu menu_;
  ScriptedMessageBox box_;
  CrossingHook hook_ = nullptr;
};

}  // namespace kelvorat::platform
