// The messages the plug-in sends to the host editor's window, the host's
// command ids, and the point the host fills in or reads.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace kelvorat::host {

using platform::LParam;
using platform::MessageResult;
using platform::WindowHandle;
using platform::WParam;

// A point in the editor: X the column in code units, Y the line; what a line
// is depends on the coordinate kind of the message that carries it.
struct TEditPoint {
  std::int32_t X;
  std::int32_t Y;
};

// Coordinate kinds, sent as wParam of the position messages.
// Display: the host's own system, only read back and sent again.
inline constexpr WParam kKindDisplay = 0;
// Logical: lines split at CR LF, CR and LF, as SplitLines splits them.
inline constexpr WParam kKindLogical = 2;

inline constexpr std::uint32_t HM_QUERY_STATUS = 0x801;     // wParam command id, lParam flag pointer
inline constexpr std::uint32_t HM_EVENT_REPLY = 0x802;      // wParam remembered value
inline constexpr std::uint32_t HM_GET_CARET_POS = 0x806;    // wParam kind, lParam point to fill
inline constexpr std::uint32_t HM_GET_SCROLL_POS = 0x809;   // lParam point to fill
inline constexpr std::uint32_t HM_SET_CARET_POS = 0x812;    // wParam kind, lParam point
inline constexpr std::uint32_t HM_SET_SCROLL_POS = 0x813;   // lParam point
inline constexpr std::uint32_t HM_EXECUTE_COMMAND = 0x816;  // wParam command id
inline constexpr std::uint32_t HM_GET_SEL_START = 0x81A;    // wParam kind, lParam point to fill
inline constexpr std::uint32_t HM_GET_SEL_END = 0x81B;      // wParam kind, lParam point to fill
inline constexpr std::uint32_t HM_SELECT_CHARS = 0x81C;     // wParam count of code units after the caret
inline constexpr std::uint32_t HM_SET_SELECTION = 0x821;    // wParam anchor point, lParam caret point (display)
inline constexpr std::uint32_t HM_SET_REDRAW = 0x82C;       // wParam 0 off, 1 on
inline constexpr std::uint32_t HM_HAS_SELECTION = 0x82D;    // reply 0: nothing selected
inline constexpr std::uint32_t HM_GET_SEL_TEXT = 0x82E;     // wParam capacity, lParam buffer or null
inline constexpr std::uint32_t HM_INSERT_TEXT = 0x834;      // lParam NUL-terminated UTF-16

inline constexpr WParam HOST_CMD_SELECT_ALL = 4136;
inline constexpr WParam HOST_CMD_CLEAR_SELECTION = 4187;
// The host command whose state QueryStatus reports.
inline constexpr WParam HOST_CMD_QUERIED_STATUS = 4201;

// The low 32 bits of a reply, as a 32-bit host gives it.
constexpr std::int32_t Reply32(MessageResult reply) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uintptr_t>(reply)));
}

}  // namespace kelvorat::host
