#include "host/SimulatedEditor.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <limits>

namespace kelvorat::host {
namespace {

constexpr std::int32_t kWildLow = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kWildHigh = std::numeric_limits<std::int32_t>::max();

std::size_t BreakLength(WideView line) noexcept {
  const std::size_t n = line.size();
  if (n >= 2 && line[n - 2] == u'\r' && line[n - 1] == u'\n') return 2;
  if (n >= 1 && (line[n - 1] == u'\r' || line[n - 1] == u'\n')) return 1;
  return 0;
}

// The lines of text, each with its break, and then the piece after the last
// break (possibly empty) when keepFinal.
void SplitInto(WideView text, std::vector<WideText>& out, bool keepFinal) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u != u'\r' && u != u'\n') continue;
    if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    out.emplace_back(text.substr(start, i + 1 - start));
    start = i + 1;
  }
  if (keepFinal) out.emplace_back(text.substr(start));
}

std::int32_t Low32(std::uintptr_t value) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

TEditPoint* PointAt(std::uintptr_t address) noexcept { return reinterpret_cast<TEditPoint*>(address); }

bool IsPointReply(std::uint32_t message) noexcept {
  return message == HM_GET_CARET_POS || message == HM_GET_SCROLL_POS || message == HM_GET_SEL_START ||
         message == HM_GET_SEL_END;
}

}  // namespace

// ---- Running sums ----

void SimulatedEditor::RunningSums::Build(const std::vector<std::int64_t>& values) {
  values_ = values;
  prefix_.assign(values.size() + 1, 0);
  valid_ = 0;
  total_ = 0;
  for (const std::int64_t v : values) total_ += v;
}

void SimulatedEditor::RunningSums::Add(std::size_t index, std::int64_t delta) noexcept {
  values_[index] += delta;
  total_ += delta;
  valid_ = std::min(valid_, index);
}

void SimulatedEditor::RunningSums::Extend(std::size_t count) const noexcept {
  for (; valid_ < count; ++valid_) prefix_[valid_ + 1] = prefix_[valid_] + values_[valid_];
}

std::int64_t SimulatedEditor::RunningSums::Prefix(std::size_t count) const noexcept {
  count = std::min(count, values_.size());
  Extend(count);
  return prefix_[count];
}

std::size_t SimulatedEditor::RunningSums::CountUpTo(std::int64_t target) const noexcept {
  while (valid_ < values_.size() && prefix_[valid_] <= target) Extend(valid_ + 1);
  const auto end = prefix_.begin() + static_cast<std::ptrdiff_t>(valid_) + 1;
  return static_cast<std::size_t>(std::upper_bound(prefix_.begin(), end, target) - prefix_.begin()) - 1;
}

// ---- The document ----

SimulatedEditor::SimulatedEditor(WideView text, std::int32_t wrapWidth)
    : wrapWidth_(std::max<std::int32_t>(wrapWidth, 1)) {
  SetText(text);
}

void SimulatedEditor::SetText(WideView text) {
  std::vector<WideText> lines;
  SplitInto(text, lines, true);
  lines_ = std::move(lines);
  RebuildSums();
  caret_ = anchor_ = 0;
  scroll_ = {0, 0};
}

void SimulatedEditor::RebuildSums() {
  std::vector<std::int64_t> lengths(lines_.size());
  std::vector<std::int64_t> rows(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lengths[i] = static_cast<std::int64_t>(lines_[i].size());
    rows[i] = Rows(i);
  }
  lengths_.Build(lengths);
  rows_.Build(rows);
}

WideText SimulatedEditor::Text() const {
  WideText all;
  all.reserve(Length());
  for (const WideText& line : lines_) all += line;
  return all;
}

std::size_t SimulatedEditor::LineStart(std::size_t line) const noexcept {
  return static_cast<std::size_t>(lengths_.Prefix(line));
}

std::size_t SimulatedEditor::ContentLength(std::size_t line) const noexcept {
  return lines_[line].size() - BreakLength(lines_[line]);
}

std::int64_t SimulatedEditor::Rows(std::size_t line) const noexcept {
  const auto content = static_cast<std::int64_t>(ContentLength(line));
  return content == 0 ? 1 : (content + wrapWidth_ - 1) / wrapWidth_;
}

SimulatedEditor::Place SimulatedEditor::Locate(std::size_t offset) const noexcept {
  offset = std::min(offset, Length());
  const std::size_t line = std::min(lengths_.CountUpTo(static_cast<std::int64_t>(offset)), lines_.size() - 1);
  return {line, offset - LineStart(line)};
}

WideText SimulatedEditor::TextBetween(std::size_t from, std::size_t to) const {
  WideText out;
  if (to <= from) return out;
  out.reserve(to - from);
  Place p = Locate(from);
  std::size_t remaining = to - from;
  while (remaining > 0 && p.line < lines_.size()) {
    const WideText& line = lines_[p.line];
    const std::size_t take = std::min(remaining, line.size() - p.column);
    out.append(line, p.column, take);
    remaining -= take;
    ++p.line;
    p.column = 0;
  }
  return out;
}

WideText SimulatedEditor::SelectedText() const { return TextBetween(SelectionStart(), SelectionEnd()); }

void SimulatedEditor::Select(std::size_t anchor, std::size_t caret) {
  anchor_ = std::min(anchor, Length());
  caret_ = std::min(caret, Length());
}

void SimulatedEditor::Replace(std::size_t from, std::size_t to, WideView text, Message& record) {
  from = std::min(from, Length());
  to = std::min(std::max(to, from), Length());
  const Place a = Locate(from);
  const Place b = Locate(to);
  // One line more on each side: a CR and an LF that meet across the edit
  // become one break.
  const std::size_t first = a.line > 0 ? a.line - 1 : 0;
  const std::size_t last = std::min(b.line + 1, lines_.size() - 1);
  WideText joined;
  for (std::size_t i = first; i < a.line; ++i) joined += lines_[i];
  joined.append(lines_[a.line], 0, a.column);
  joined += text;
  joined.append(lines_[b.line], b.column);
  for (std::size_t i = b.line + 1; i <= last; ++i) joined += lines_[i];

  if (recording_) {
    record.at = from;
    record.text.assign(text);
    record.removed = TextBetween(from, to);
  }

  std::vector<WideText> pieces;
  SplitInto(joined, pieces, last == lines_.size() - 1);
  const std::size_t span = last - first + 1;
  if (pieces.size() == span) {
    for (std::size_t k = 0; k < span; ++k) {
      const std::size_t i = first + k;
      const std::int64_t oldLength = static_cast<std::int64_t>(lines_[i].size());
      const std::int64_t oldRows = Rows(i);
      lines_[i] = std::move(pieces[k]);
      lengths_.Add(i, static_cast<std::int64_t>(lines_[i].size()) - oldLength);
      rows_.Add(i, Rows(i) - oldRows);
    }
  } else {
    const auto begin = lines_.begin() + static_cast<std::ptrdiff_t>(first);
    lines_.erase(begin, begin + static_cast<std::ptrdiff_t>(span));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(first), std::make_move_iterator(pieces.begin()),
                  std::make_move_iterator(pieces.end()));
    RebuildSums();
  }
  caret_ = anchor_ = from + text.size();
}

// ---- Points ----

TEditPoint SimulatedEditor::ToLogical(std::size_t offset) const {
  const Place p = Locate(offset);
  return {static_cast<std::int32_t>(p.column), static_cast<std::int32_t>(p.line)};
}

std::size_t SimulatedEditor::FromLogical(TEditPoint point) const {
  if (point.Y < 0) return 0;
  const auto line = static_cast<std::size_t>(point.Y);
  if (line >= lines_.size()) return Length();
  const std::size_t column = point.X < 0 ? 0 : std::min(static_cast<std::size_t>(point.X), ContentLength(line));
  return LineStart(line) + column;
}

TEditPoint SimulatedEditor::ToDisplay(std::size_t offset) const {
  const Place p = Locate(offset);
  const std::size_t column = std::min(p.column, ContentLength(p.line));
  const auto width = static_cast<std::size_t>(wrapWidth_);
  const std::size_t row = std::min(column / width, static_cast<std::size_t>(Rows(p.line) - 1));
  return {static_cast<std::int32_t>(column - row * width),
          static_cast<std::int32_t>(rows_.Prefix(p.line) + static_cast<std::int64_t>(row))};
}

std::size_t SimulatedEditor::FromDisplay(TEditPoint point) const {
  if (point.Y < 0) return 0;
  if (point.Y >= rows_.Total()) return Length();
  const std::size_t line = rows_.CountUpTo(point.Y);
  const auto row = static_cast<std::size_t>(point.Y - rows_.Prefix(line));
  const auto width = static_cast<std::size_t>(wrapWidth_);
  const std::size_t rowStart = row * width;
  const std::size_t rowLength = std::min(width, ContentLength(line) - rowStart);
  const std::size_t column = point.X < 0 ? 0 : std::min(static_cast<std::size_t>(point.X), rowLength);
  return LineStart(line) + rowStart + column;
}

// ---- Messages ----

std::size_t SimulatedEditor::Received(std::uint32_t message) const noexcept {
  const std::uint32_t index = message - 0x800;
  return index < receivedByNumber_.size() ? receivedByNumber_[index] : 0;
}

void SimulatedEditor::MisbehaveAt(std::size_t nth, Misbehaviour how, MessageResult wildReply) noexcept {
  misbehaveAt_ = nth == 0 ? 0 : received_ + nth;
  misbehaviour_ = how;
  wildReply_ = wildReply;
}

MessageResult SimulatedEditor::OnMessage(std::uint32_t message, WParam wParam, LParam lParam) {
  ++received_;
  const std::uint32_t index = message - 0x800;
  if (index < receivedByNumber_.size()) ++receivedByNumber_[index];
  Message record;
  record.message = message;
  record.wParam = wParam;
  record.lParam = lParam;
  if (received_ == misbehaveAt_) {
    record.misbehaved = true;
    record.reply = Misbehave(message, wParam, lParam, record);
  } else {
    record.reply = Handle(message, wParam, lParam, record);
  }
  const MessageResult reply = record.reply;
  if (recording_) log_.push_back(std::move(record));
  return reply;
}

MessageResult SimulatedEditor::Misbehave(std::uint32_t message, WParam wParam, LParam lParam, Message& record) {
  if (misbehaviour_ == Misbehaviour::Ignore) return 0;
  const auto address = static_cast<std::uintptr_t>(lParam);
  if (IsPointReply(message) && address != 0) {
    *PointAt(address) = record.point = TEditPoint{kWildLow, kWildHigh};
  }
  if (message == HM_GET_SEL_TEXT && address != 0) {
    const std::int32_t capacity = Low32(wParam);
    auto* buffer = reinterpret_cast<char16_t*>(address);
    for (std::int32_t i = 0; i < capacity; ++i) buffer[i] = u'?';
  }
  return wildReply_;
}

MessageResult SimulatedEditor::Handle(std::uint32_t message, WParam wParam, LParam lParam, Message& record) {
  const auto address = static_cast<std::uintptr_t>(lParam);
  const std::int32_t kind = Low32(wParam);
  // A position in a kind this editor does not know changes nothing.
  const auto toPoint = [&](std::size_t offset, bool& known) {
    known = kind == 0 || kind == 2;
    return kind == 2 ? ToLogical(offset) : ToDisplay(offset);
  };
  switch (message) {
    case HM_QUERY_STATUS:
    case HM_EVENT_REPLY:
      return message == HM_QUERY_STATUS ? statusReply_ : 0;
    case HM_GET_CARET_POS:
    case HM_GET_SEL_START:
    case HM_GET_SEL_END: {
      const std::size_t offset =
          message == HM_GET_CARET_POS ? caret_ : message == HM_GET_SEL_START ? SelectionStart() : SelectionEnd();
      bool known = false;
      const TEditPoint point = toPoint(offset, known);
      if (!known || address == 0) return 0;
      *PointAt(address) = record.point = point;
      return 1;
    }
    case HM_GET_SCROLL_POS:
      if (address == 0) return 0;
      *PointAt(address) = record.point = scroll_;
      return 1;
    case HM_SET_SCROLL_POS:
      if (address == 0) return 0;
      scroll_ = record.point = *PointAt(address);
      return 1;
    case HM_SET_CARET_POS: {
      if (address == 0 || (kind != 0 && kind != 2)) return 0;
      record.point = *PointAt(address);
      caret_ = anchor_ = kind == 2 ? FromLogical(record.point) : FromDisplay(record.point);
      return 1;
    }
    case HM_SET_SELECTION: {
      if (wParam == 0 || address == 0) return 0;
      record.point = *PointAt(wParam);
      record.caret = *PointAt(address);
      anchor_ = FromDisplay(record.point);
      caret_ = FromDisplay(record.caret);
      return 1;
    }
    case HM_SELECT_CHARS: {
      // Counted from the caret, whatever is selected.
      const std::int32_t count = Low32(wParam);
      anchor_ = caret_;
      caret_ = std::min(caret_ + static_cast<std::size_t>(std::max(count, 0)), Length());
      return 1;
    }
    case HM_INSERT_TEXT: {
      if (address == 0) return 0;
      const auto* text = reinterpret_cast<const char16_t*>(address);
      Replace(SelectionStart(), SelectionEnd(), WideView(text), record);
      return 1;
    }
    case HM_EXECUTE_COMMAND:
      if (wParam == HOST_CMD_SELECT_ALL) {
        anchor_ = 0;
        caret_ = Length();
        return 1;
      }
      if (wParam == HOST_CMD_CLEAR_SELECTION) {
        anchor_ = caret_;
        return 1;
      }
      return 0;
    case HM_SET_REDRAW:
      redrawOn_ = wParam != 0;
      return 0;
    case HM_HAS_SELECTION:
      return HasSelection() ? 1 : 0;
    case HM_GET_SEL_TEXT: {
      const std::size_t length = SelectionEnd() - SelectionStart();
      if (address == 0) {
        if (capacityReply_) return *capacityReply_;
        return static_cast<MessageResult>(length + (writesNoNul_ ? 0 : 1));
      }
      const std::int32_t capacity = Low32(wParam);
      if (capacity <= 0) return 0;
      const auto room = static_cast<std::size_t>(capacity);
      const std::size_t written = std::min(length, writesNoNul_ ? room : room - 1);
      const WideText text = TextBetween(SelectionStart(), SelectionStart() + written);
      auto* buffer = reinterpret_cast<char16_t*>(address);
      std::copy(text.begin(), text.end(), buffer);
      if (!writesNoNul_) buffer[written] = u'\0';
      if (recording_) record.text = text;
      return static_cast<MessageResult>(written);
    }
    default:
      return 0;
  }
}

// ---- Descriptions ----

std::string MessageName(std::uint32_t message) {
  switch (message) {
    case HM_QUERY_STATUS: return "HM_QUERY_STATUS";
    case HM_EVENT_REPLY: return "HM_EVENT_REPLY";
    case HM_GET_CARET_POS: return "HM_GET_CARET_POS";
    case HM_GET_SCROLL_POS: return "HM_GET_SCROLL_POS";
    case HM_SET_CARET_POS: return "HM_SET_CARET_POS";
    case HM_SET_SCROLL_POS: return "HM_SET_SCROLL_POS";
    case HM_EXECUTE_COMMAND: return "HM_EXECUTE_COMMAND";
    case HM_GET_SEL_START: return "HM_GET_SEL_START";
    case HM_GET_SEL_END: return "HM_GET_SEL_END";
    case HM_SELECT_CHARS: return "HM_SELECT_CHARS";
    case HM_SET_SELECTION: return "HM_SET_SELECTION";
    case HM_SET_REDRAW: return "HM_SET_REDRAW";
    case HM_HAS_SELECTION: return "HM_HAS_SELECTION";
    case HM_GET_SEL_TEXT: return "HM_GET_SEL_TEXT";
    case HM_INSERT_TEXT: return "HM_INSERT_TEXT";
    default: break;
  }
  char name[32];
  std::snprintf(name, sizeof name, "message 0x%X", message);
  return name;
}

std::string QuoteText(WideView text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    switch (c) {
      case U'\r': out += "\\r"; continue;
      case U'\n': out += "\\n"; continue;
      case U'\t': out += "\\t"; continue;
      case U'\\': out += "\\\\"; continue;
      case U'"': out += "\\\""; continue;
      default: break;
    }
    if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
      out += escape;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  out += '"';
  return out;
}

std::string DescribeMessage(const SimulatedEditor::Message& m) {
  const auto point = [](TEditPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; };
  const auto kind = [&] { return "kind " + std::to_string(Low32(m.wParam)); };
  std::string out = MessageName(m.message) + " ";
  switch (m.message) {
    case HM_QUERY_STATUS:
      out += "command " + std::to_string(m.wParam) + ", flags at " + (m.lParam != 0 ? "a pointer" : "null");
      break;
    case HM_EVENT_REPLY:
      out += "value " + std::to_string(m.wParam);
      break;
    case HM_GET_CARET_POS:
    case HM_GET_SEL_START:
    case HM_GET_SEL_END:
      out += kind() + " -> " + point(m.point);
      break;
    case HM_SET_CARET_POS:
      out += kind() + ", " + point(m.point);
      break;
    case HM_GET_SCROLL_POS:
      out += "-> " + point(m.point);
      break;
    case HM_SET_SCROLL_POS:
      out += point(m.point);
      break;
    case HM_EXECUTE_COMMAND:
      out += std::to_string(m.wParam);
      if (m.wParam == HOST_CMD_SELECT_ALL) out += " (select all)";
      if (m.wParam == HOST_CMD_CLEAR_SELECTION) out += " (clear selection)";
      break;
    case HM_SELECT_CHARS:
      out += std::to_string(Low32(m.wParam)) + " code units";
      break;
    case HM_SET_SELECTION:
      out += "anchor " + point(m.point) + ", caret " + point(m.caret);
      break;
    case HM_SET_REDRAW:
      out += m.wParam != 0 ? "on" : "off";
      break;
    case HM_HAS_SELECTION:
      break;
    case HM_GET_SEL_TEXT:
      if (m.lParam == 0) {
        out += "capacity " + std::to_string(Low32(m.wParam)) + ", no buffer";
      } else {
        out += "capacity " + std::to_string(Low32(m.wParam)) + ", buffer <- " + QuoteText(m.text);
      }
      break;
    case HM_INSERT_TEXT:
      out += QuoteText(m.text) + " replacing " + QuoteText(m.removed) + " at " + std::to_string(m.at);
      break;
    default:
      out += "wParam " + std::to_string(m.wParam) + ", lParam " + std::to_string(m.lParam);
      break;
  }
  out += " = " + std::to_string(m.reply);
  if (m.misbehaved) out += " (misbehaved)";
  return out;
}

}  // namespace kelvorat::host
