// The plug-in's exported functions: the command, its status, the host's events,
// the resource ids, and the plug-in procedure. The host calls them on its
// user-interface thread with its window handle; no C++ exception leaves them.
#pragma once

#include <cstdint>

// The host calls with the standard Windows convention on 32-bit Windows.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define KELVORAT_STDCALL __stdcall
#else
#define KELVORAT_STDCALL
#endif

#if defined(_WIN32)
#define KELVORAT_EXPORT __declspec(dllexport)
#else
#define KELVORAT_EXPORT
#endif

// Request codes of PlugInProc.
#define PI_GET_NAME 2306
#define PI_GET_VERSION 2308
#define PI_CAN_UNINSTALL 2310
#define PI_CONFIRM_UNINSTALL 2311

// Event flags of OnEvents.
#define EVENT_SEND_REPLY 0x40
#define EVENT_STORE_PARAM 0x400

extern "C" {

// Runs one command: the menu of actions at the cursor, the chosen action on
// the selection (or the whole document) and the write-back.
KELVORAT_EXPORT void KELVORAT_STDCALL OnCommand(void* window) noexcept;
// -1 when the host reports the queried command enabled, else 0.
KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL QueryStatus(void* window, void* flags) noexcept;
KELVORAT_EXPORT void KELVORAT_STDCALL OnEvents(void* window, std::uint32_t events, std::intptr_t lParam) noexcept;
KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetMenuTextID() noexcept;
KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetStatusMessageID() noexcept;
KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL GetBitmapID() noexcept;
KELVORAT_EXPORT std::int32_t KELVORAT_STDCALL PlugInProc(void* window, std::uint32_t code, std::uintptr_t wParam,
                                                         std::intptr_t lParam) noexcept;

}  // extern "C"

namespace kelvorat::plugin {

// Puts the module-wide values back as they are when the module is loaded;
// stands for unloading and loading the module again.
void RestartModule() noexcept;

// What the user is told, in code page 932, of the failure being handled.
// Precondition: called inside a catch block.
const char* FailureText() noexcept;

}  // namespace kelvorat::plugin
