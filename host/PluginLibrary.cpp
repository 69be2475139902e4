#include "host/PluginLibrary.h"

#include <new>

namespace kelvorat::host {

using platform::SendHostMessage;

MessageResult SendPoint(WindowHandle window, std::uint32_t message, WParam wParam, TEditPoint point) noexcept {
  return SendHostMessage(window, message, wParam, reinterpret_cast<LParam>(&point));
}

TEditPoint ReadPoint(WindowHandle window, std::uint32_t message, WParam wParam) noexcept {
  TEditPoint point{0, 0};
  SendHostMessage(window, message, wParam, reinterpret_cast<LParam>(&point));
  return point;
}

void GetSelectedText(WindowHandle window, WideText& Text) {
  Text.clear();
  const std::int32_t capacity = Reply32(SendHostMessage(window, HM_GET_SEL_TEXT, 0, 0));
  if (capacity > kMaxSelectionUnits) throw std::bad_alloc();
  if (capacity > 0) Text.resize(static_cast<std::size_t>(capacity));
  // The capacity goes back exactly as replied, sign and all; with an empty
  // text the buffer is the text's own terminating NUL.
  const auto wParam = static_cast<WParam>(static_cast<std::intptr_t>(capacity));
  SendHostMessage(window, HM_GET_SEL_TEXT, wParam, reinterpret_cast<LParam>(Text.data()));
  const std::size_t end = Text.find(u'\0');
  if (end != WideText::npos) Text.resize(end);
}

void SelectRange(WindowHandle window, TEditPoint anchor, TEditPoint caret) {
  if (SamePoint(anchor, caret)) {
    SendPoint(window, HM_SET_CARET_POS, kKindDisplay, anchor);
    return;
  }
  SendHostMessage(window, HM_SET_SELECTION, reinterpret_cast<WParam>(&anchor), reinterpret_cast<LParam>(&caret));
}

void ReselectKeepingDirection(WindowHandle window, bool caretAtEnd) {
  const TEditPoint start = ReadPoint(window, HM_GET_SEL_START, kKindDisplay);
  const TEditPoint end = ReadPoint(window, HM_GET_SEL_END, kKindDisplay);
  if (caretAtEnd) {
    SelectRange(window, start, end);
  } else {
    SelectRange(window, end, start);
  }
}

bool IsCaretAtSelectionEnd(WindowHandle window) {
  const TEditPoint start = ReadPoint(window, HM_GET_SEL_START, kKindDisplay);
  const TEditPoint end = ReadPoint(window, HM_GET_SEL_END, kKindDisplay);
  const TEditPoint caret = ReadPoint(window, HM_GET_CARET_POS, kKindDisplay);
  if (SamePoint(caret, start)) return false;
  return SamePoint(caret, end);
}

}  // namespace kelvorat::host
