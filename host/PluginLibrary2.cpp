#include "host/PluginLibrary2.h"

#include <algorithm>

#include "host/PluginLibrary.h"
#include "library/WideStringRecordList.h"

namespace kelvorat::host {
namespace {

using platform::SendHostMessage;

// Line y + i, wrapping as the host's 32-bit arithmetic does: a start point
// near the largest line number must not overflow.
std::int32_t LineAfter(std::int32_t y, std::int32_t i) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(y) + static_cast<std::uint32_t>(i));
}

void SetCaret(WindowHandle window, TEditPoint point) noexcept {
  SendPoint(window, HM_SET_CARET_POS, kKindLogical, point);
}

void SelectChars(WindowHandle window, std::size_t count) noexcept {
  SendHostMessage(window, HM_SELECT_CHARS, static_cast<WParam>(count), 0);
}

// Precondition: text is followed in memory by a NUL, as every WideText is.
void InsertText(WindowHandle window, const WideText& text) noexcept {
  SendHostMessage(window, HM_INSERT_TEXT, 0, reinterpret_cast<LParam>(text.c_str()));
}

}  // namespace

std::uint8_t GetLineBreakKind(WideView Line) noexcept {
  const std::size_t n = Line.size();
  if (n >= 2 && Line[n - 2] == u'\r' && Line[n - 1] == u'\n') return kBreakCrLf;
  if (n >= 1) {
    if (Line[n - 1] == u'\n') return kBreakLf;
    if (Line[n - 1] == u'\r') return kBreakCr;
  }
  return kBreakNone;
}

void ApplyTextByLines(WindowHandle window, WideView NewText) {
  TCommonStringRecordList oldLines;
  TCommonStringRecordList newLines;
  {
    WideText oldText;
    GetSelectedText(window, oldText);
    oldLines.SplitLines(oldText);
  }
  newLines.SplitLines(NewText);

  const TEditPoint start = ReadPoint(window, HM_GET_SEL_START, kKindLogical);
  const bool caretAtEnd = IsCaretAtSelectionEnd(window);

  const std::int32_t oldCount = oldLines.Count();
  const std::int32_t newCount = newLines.Count();
  const std::int32_t paired = std::min(oldCount, newCount);
  WideText line;  // the text inserted for one line; its storage is reused
  bool caretAtLine = false;  // the caret already stands where old line i begins
  std::int32_t shift = 0;    // lines lost where the text before S met the first line written
  for (std::int32_t i = 0; i < paired; ++i) {
    const WideView o = oldLines.ItemView(i);
    const WideView w = newLines.ItemView(i);
    const TEditPoint next{0, LineAfter(start.Y, i + 1 + shift)};
    // A line just written that ends with a lone CR, followed by an old line
    // that is a lone LF: in the editor the two form one CR LF, so old line i
    // begins inside a line break, where no line and column can place the
    // caret. The caret stands there already, right after the text written.
    const bool insideBreak = caretAtLine && o == u"\n";
    caretAtLine = false;
    if (o == w) {
      SetCaret(window, next);
      continue;
    }
    if (!insideBreak) SetCaret(window, TEditPoint{i == 0 ? start.X : 0, LineAfter(start.Y, i + shift)});
    if (GetLineBreakKind(o) == kBreakCrLf && GetLineBreakKind(w) == kBreakCrLf) {
      // The editor's CR LF stays where it is; only the content is replaced.
      line.assign(w.substr(0, w.size() - 2));
      SelectChars(window, o.size() - 2);
      InsertText(window, line);
      SetCaret(window, next);
    } else {
      line.assign(w);
      SelectChars(window, o.size());
      InsertText(window, line);
      caretAtLine = GetLineBreakKind(w) == kBreakCr;
      if (i == 0 && start.X == 0 && w == u"\n") {
        // A lone CR before S and this LF have become one CR LF: the lines
        // after it now begin one line earlier. Only the host can tell.
        const TEditPoint caret = ReadPoint(window, HM_GET_CARET_POS, kKindLogical);
        shift = caret.Y == start.Y ? -1 : 0;
      }
    }
  }

  if (newCount > oldCount) {
    line.clear();
    for (std::int32_t i = paired; i < newCount; ++i) line.append(newLines.ItemView(i));
    InsertText(window, line);
  } else if (oldCount > newCount) {
    std::size_t surplus = 0;
    for (std::int32_t i = paired; i < oldCount; ++i) surplus += oldLines.ItemView(i).size();
    // With no line rewritten the old selection is still in place, and a
    // count from the caret would start at whichever end the caret stands.
    if (paired == 0) SetCaret(window, start);
    SelectChars(window, surplus);
    line.clear();
    InsertText(window, line);
  }

  // With the first LF gone into the break before S, the new text begins
  // inside that break; the nearest selection starts right after it.
  SetCaret(window, start);
  SelectChars(window, NewText.size() + static_cast<std::size_t>(shift));
  ReselectKeepingDirection(window, caretAtEnd);
}

}  // namespace kelvorat::host
