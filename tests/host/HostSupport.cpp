#include "HostSupport.h"

#include "cli/Cp932.h"
#include "cli/Utf8.h"
#include "host/plugin.h"

namespace kelvorat::test {

std::u16string FromCp932(std::string_view bytes) {
  std::size_t bad = 0;
  if (!cli::ValidCp932(bytes, bad)) return u"<invalid>";
  WideText text;
  cli::DecodeCp932(bytes, text);
  return text;
}

std::u16string FromUtf8(std::string_view bytes) {
  WideText text;
  std::size_t bad = 0;
  if (!cli::DecodeUtf8(bytes, text, bad)) return u"<invalid>";
  return text;
}

std::string Brief(const SimulatedEditor::Message& m) {
  using namespace host;
  const auto point = [](TEditPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; };
  const std::string kind = std::to_string(Reply32(static_cast<MessageResult>(m.wParam)));
  switch (m.message) {
    case HM_SET_REDRAW: return m.wParam != 0 ? "redraw on" : "redraw off";
    case HM_GET_SEL_START: return "start" + kind;
    case HM_GET_SEL_END: return "end" + kind;
    case HM_GET_CARET_POS: return "caret?" + kind;
    case HM_SET_CARET_POS: return "caret" + kind + " " + point(m.point);
    case HM_GET_SCROLL_POS: return "scroll?";
    case HM_SET_SCROLL_POS: return "scroll " + point(m.point);
    case HM_HAS_SELECTION: return "has selection?";
    case HM_SELECT_CHARS: return "chars " + std::to_string(Reply32(static_cast<MessageResult>(m.wParam)));
    case HM_SET_SELECTION: return "select " + point(m.point) + "-" + point(m.caret);
    case HM_INSERT_TEXT: return "insert " + QuoteText(m.text);
    case HM_GET_SEL_TEXT: return m.lParam == 0 ? "text?" : "text " + std::to_string(Reply32(static_cast<MessageResult>(m.wParam)));
    case HM_EXECUTE_COMMAND:
      return m.wParam == HOST_CMD_SELECT_ALL ? "select all"
             : m.wParam == HOST_CMD_CLEAR_SELECTION ? "clear selection"
                                                    : "command " + std::to_string(m.wParam);
    case HM_QUERY_STATUS: return "status " + std::to_string(m.wParam);
    case HM_EVENT_REPLY: return "event reply " + std::to_string(m.wParam);
    default: return MessageName(m.message);
  }
}

std::vector<std::string> Briefs(const std::vector<SimulatedEditor::Message>& log) {
  std::vector<std::string> out;
  out.reserve(log.size());
  for (const auto& m : log) out.push_back(Brief(m));
  return out;
}

std::vector<SimulatedEditor::Message> OfKind(const std::vector<SimulatedEditor::Message>& log,
                                             std::uint32_t message) {
  std::vector<SimulatedEditor::Message> out;
  for (const auto& m : log) {
    if (m.message == message) out.push_back(m);
  }
  return out;
}

}  // namespace kelvorat::test
