// Operations on the editor's selection, shared by the command and the
// write-back. Every point here is in the display kind; each operation sends
// its messages to the host window, waits for their replies and keeps nothing.
#pragma once

#include <cstdint>

#include "host/plugin.h"
#include "library/StringUnit.h"

namespace kelvorat::host {

// A capacity above this is taken for exhausted memory: the command holds the
// selection several times over (source, result, both line lists), which a
// 32-bit process cannot do for half a gibibyte of text.
inline constexpr std::int32_t kMaxSelectionUnits = std::int32_t{1} << 28;

// Text receives the selected text, cut at its first NUL. Asks the host for the
// capacity, then for the text in a buffer of that many code units and a NUL;
// a capacity of 0 or less gives the empty text. std::bad_alloc for a capacity
// above kMaxSelectionUnits or when the buffer cannot be had.
void GetSelectedText(WindowHandle window, WideText& Text);

// Selects from anchor to caret; equal points give a bare caret.
void SelectRange(WindowHandle window, TEditPoint anchor, TEditPoint caret);

// Keeps the selected stretch and puts the caret at its end (or its start).
void ReselectKeepingDirection(WindowHandle window, bool caretAtEnd);

constexpr bool SamePoint(TEditPoint a, TEditPoint b) noexcept { return a.X == b.X && a.Y == b.Y; }

// The caret stands at the end of a non-empty selection.
bool IsCaretAtSelectionEnd(WindowHandle window);

// Sends a message whose lParam is the address of a copy of point.
MessageResult SendPoint(WindowHandle window, std::uint32_t message, WParam wParam, TEditPoint point) noexcept;
// Sends a message whose lParam is the address of a point for the host to fill;
// answers the point as the host left it (from {0, 0}).
TEditPoint ReadPoint(WindowHandle window, std::uint32_t message, WParam wParam) noexcept;

}  // namespace kelvorat::host
