// The line-differential write-back: replaces the editor's selection with a new
// text, rewriting only the lines that differ.
#pragma once

#include <cstdint>

#include "host/plugin.h"
#include "library/StringUnit.h"

namespace kelvorat::host {

// How a line ends: 0 CR LF, 1 CR, 2 LF, 3 neither (also the empty text).
inline constexpr std::uint8_t kBreakCrLf = 0;
inline constexpr std::uint8_t kBreakCr = 1;
inline constexpr std::uint8_t kBreakLf = 2;
inline constexpr std::uint8_t kBreakNone = 3;

std::uint8_t GetLineBreakKind(WideView Line) noexcept;

// Precondition: the text to replace is the editor's current selection (read
// here again). Afterwards the selection holds NewText, with the caret at the
// end where it stood before: at the end if it was at the end, else at the
// start. An unchanged line costs one caret move; the lines beyond the shorter
// list are inserted or removed in one step.
void ApplyTextByLines(WindowHandle window, WideView NewText);

}  // namespace kelvorat::host
