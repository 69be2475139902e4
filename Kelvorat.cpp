// The module's main unit: the exported functions and the module-wide values.
#include "Kelvorat.h"

#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#include "engine/Catalogue.h"
#include "host/PluginLibrary.h"
#include "host/PluginLibrary2.h"
#include "host/plugin.h"
#include "library/TemplateList/ListClone.h"
#include "platform/Platform.h"
#include "resources/Version.h"

namespace kelvorat::plugin {
namespace {

using host::TEditPoint;
using platform::SendHostMessage;
using platform::WindowHandle;

// ---- Module-wide values ----

constexpr char kPluginName[] = KELVORAT_PLUGIN_NAME;
constexpr char kPluginVersion[] = KELVORAT_PLUGIN_VERSION;
std::uint32_t gStoredEventParam = 0;

// ---- Texts for the user, in code page 932 ----

// The menu labels of catalogue ids 1 to 10.
constexpr const char* kMenuLabels[] = {
    "C\x8C\xBE\x8C\xEA\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x8D\xED\x8F\x9C",  // C言語のコメントを削除
    "C++/C#/Java\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x8D\xED\x8F\x9C",       // C++/C#/Javaのコメントを削除
    "VB\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x8D\xED\x8F\x9C",                // VBのコメントを削除
    "Pascal\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x8D\xED\x8F\x9C",            // Pascalのコメントを削除
    "HTML\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x8D\xED\x8F\x9C",              // HTMLのコメントを削除
    "C\x8C\xBE\x8C\xEA\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x92\x8A\x8Fo",    // C言語のコメントを抽出
    "C++/C#/Java\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x92\x8A\x8Fo",         // C++/C#/Javaのコメントを抽出
    "VB\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x92\x8A\x8Fo",                  // VBのコメントを抽出
    "Pascal\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x92\x8A\x8Fo",              // Pascalのコメントを抽出
    "HTML\x82\xCC\x83R\x83\x81\x83\x93\x83g\x82\xF0\x92\x8A\x8Fo",                // HTMLのコメントを抽出
};
// キャンセル
constexpr char kCancelLabel[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8B";
// アンインストールしますか？
constexpr char kUninstallQuestion[] =
    "\x83" "A\x83\x93\x83" "C\x83\x93\x83X\x83g\x81[\x83\x8B\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81H";
// Listエラー (TemplateList\ListClone, 127 行)
constexpr char kListErrorText[] = "List\x83G\x83\x89\x81[ (TemplateList\\ListClone, 127 \x8Ds)";
// メモリが足りないため、コマンドを中止しました。
constexpr char kOutOfMemoryText[] =
    "\x83\x81\x83\x82\x83\x8A\x82\xAA\x91\xAB\x82\xE8\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x81" "A"
    "\x83R\x83}\x83\x93\x83h\x82\xF0\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81" "B";
// コマンドを実行できませんでした。
constexpr char kUnexpectedFailureText[] =
    "\x83R\x83}\x83\x93\x83h\x82\xF0\x8E\xC0\x8Ds\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81" "B";

// ---- The command ----

// Resumes the host's redrawing once, however the command is left.
class RedrawSuspension {
 public:
  explicit RedrawSuspension(WindowHandle window) noexcept : window_(window) {
    SendHostMessage(window_, host::HM_SET_REDRAW, 0, 0);
  }
  ~RedrawSuspension() { SendHostMessage(window_, host::HM_SET_REDRAW, 1, 0); }
  RedrawSuspension(const RedrawSuspension&) = delete;
  RedrawSuspension& operator=(const RedrawSuspension&) = delete;

 private:
  WindowHandle window_;
};

// Releases the popup menu once its tracking is over.
class PopupMenu {
 public:
  PopupMenu() noexcept : menu_(platform::CreatePopup()) {}
  ~PopupMenu() {
    if (menu_ != nullptr) platform::DestroyPopup(menu_);
  }
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  platform::MenuHandle Handle() const noexcept { return menu_; }

 private:
  platform::MenuHandle menu_;
};

// Shows the menu of actions at the cursor; answers the low 8 bits of the
// chosen id, 0 for a dismissal or the cancel item.
int ChooseAction(WindowHandle window) noexcept {
  PopupMenu menu;
  const auto append = [&](std::uint32_t flags, std::uintptr_t id, const char* text) {
    platform::AppendMenuItem(menu.Handle(), flags, id, text);
  };
  for (int id = 1; id <= 5; ++id) append(platform::kMenuString, static_cast<std::uintptr_t>(id), kMenuLabels[id - 1]);
  append(platform::kMenuSeparator, 0, nullptr);
  for (int id = 6; id <= 10; ++id) append(platform::kMenuString, static_cast<std::uintptr_t>(id), kMenuLabels[id - 1]);
  append(platform::kMenuSeparator, 0, nullptr);
  append(platform::kMenuString, 0, kCancelLabel);
  platform::ScreenPoint cursor{0, 0};
  platform::GetCursorPosition(cursor);
  const int chosen =
      platform::TrackPopup(menu.Handle(), platform::kTrackReturnCommand, cursor.x, cursor.y, 0, window);
  return chosen & 0xFF;
}

void RunCommand(WindowHandle window) {
  WideText source;
  WideText result;
  RedrawSuspension redraw(window);
  const TEditPoint savedStart = host::ReadPoint(window, host::HM_GET_SEL_START, host::kKindLogical);
  const TEditPoint savedScroll = host::ReadPoint(window, host::HM_GET_SCROLL_POS, 0);
  const bool nothingSelected = host::Reply32(SendHostMessage(window, host::HM_HAS_SELECTION, 0, 0)) == 0;

  // The menu holds ids 0 to 10 only; any other answer is taken as a cancel.
  const CatalogueCommand* command = FindCommand(ChooseAction(window));
  if (command == nullptr) return;

  if (nothingSelected) SendHostMessage(window, host::HM_EXECUTE_COMMAND, host::HOST_CMD_SELECT_ALL, 0);
  host::GetSelectedText(window, source);
  command->RunInto(source, result);
  host::ApplyTextByLines(window, result);
  if (nothingSelected) {
    SendHostMessage(window, host::HM_EXECUTE_COMMAND, host::HOST_CMD_CLEAR_SELECTION, 0);
    host::SendPoint(window, host::HM_SET_CARET_POS, host::kKindLogical, savedStart);
  }
  host::SendPoint(window, host::HM_SET_SCROLL_POS, 0, savedScroll);
}

void TellFailure(WindowHandle window, const char* text) noexcept {
  platform::ShowMessageBox(window, text, kPluginName, platform::kBoxOk | platform::kBoxIconError);
}

// Copies an identity text for the host; answers its length without the zero.
std::int32_t CopyIdentity(const char* text, std::uintptr_t size, std::intptr_t buffer) noexcept {
  const std::size_t length = std::strlen(text);
  if (buffer != 0 && size != 0) {
    // The copy never reads past the text's zero, so a larger size copies the same.
    const std::size_t count = size < length + 1 ? size : length + 1;
    platform::CopyAnsi(reinterpret_cast<char*>(buffer), text, static_cast<int>(count));
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace

void RestartModule() noexcept { gStoredEventParam = 0; }

const char* FailureText() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryText;
  } catch (const std::length_error&) {
    return kOutOfMemoryText;  // a text longer than any string can hold
  } catch (const kelvorat::TListError&) {
    return kListErrorText;
  } catch (...) {
    return kUnexpectedFailureText;
  }
}

}  // namespace kelvorat::plugin

using namespace kelvorat::plugin;

extern "C" {

KELVORAT_EXPORT void KELVORAT_STDCALL OnCommand(void* window) noexcept {
  // An exception that reached the host would end its process and every
  // unsaved document in it: each failure ends here, and the user is told.
  try {
    RunCommand(window);
  } catch (...) {
    TellFailure(window, FailureText());
  }
}

KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL QueryStatus(void* window, void* flags) noexcept {
  const std::int32_t answer = kelvorat::host::Reply32(kelvorat::platform::SendHostMessage(
      window, kelvorat::host::HM_QUERY_STATUS, kelvorat::host::HOST_CMD_QUERIED_STATUS,
      reinterpret_cast<kelvorat::platform::LParam>(flags)));
  return (answer & 0xFF) != 0 ? -1 : 0;
}

KELVORAT_EXPORT void KELVORAT_STDCALL OnEvents(void* window, std::uint32_t events, std::intptr_t lParam) noexcept {
  if ((events & EVENT_STORE_PARAM) != 0) {
    gStoredEventParam = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(lParam));
  }
  if ((events & EVENT_SEND_REPLY) != 0) {
    kelvorat::platform::SendHostMessage(window, kelvorat::host::HM_EVENT_REPLY, gStoredEventParam, 0);
  }
}

KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetMenuTextID() noexcept { return 1; }

KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetStatusMessageID() noexcept { return 2; }

KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetBitmapID() noexcept { return 101; }

KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL PlugInProc(void* window, std::uint32_t code, std::uintptr_t wParam,
                                                         std::intptr_t lParam) noexcept {
  switch (code) {
    case PI_GET_NAME:
      return CopyIdentity(kPluginName, wParam, lParam);
    case PI_GET_VERSION:
      return CopyIdentity(kPluginVersion, wParam, lParam);
    case PI_CAN_UNINSTALL:
      return 1;
    case PI_CONFIRM_UNINSTALL:
      return kelvorat::platform::ShowMessageBox(window, kUninstallQuestion, kPluginName,
                                                kelvorat::platform::kBoxYesNo |
                                                    kelvorat::platform::kBoxIconQuestion) ==
                     kelvorat::platform::kAnswerYes
                 ? 1
                 : 0;
    default:
      return 0;
  }
}

}  // extern "C"
