// What the host tests share: a simulated editor behind a simulated window,
// code page 932 decoding, and compact descriptions of the messages received.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/PluginLibrary.h"
#include "host/SimulatedEditor.h"
#include "library/StringUnit.h"
#include "platform/SimulatedDesktop.h"

namespace kelvorat::test {

using host::QuoteText;
using host::SimulatedEditor;
using host::TEditPoint;
using platform::LParam;
using platform::MessageResult;
using platform::WParam;

// An editor with the text, behind a window of its own desktop.
struct SimulatedHost {
  explicit SimulatedHost(WideView text = {}, std::int32_t wrapWidth = 8)
      : editor(text, wrapWidth), window(desktop.AddWindow(editor)) {}

  SimulatedEditor editor;
  platform::SimulatedDesktop desktop;
  platform::WindowHandle window;
};

// The text of code page 932 bytes; "<invalid>" when they are not such text.
std::u16string FromCp932(std::string_view bytes);
// UTF-8 to UTF-16, for the expected texts written in the tests.
std::u16string FromUtf8(std::string_view bytes);

// One message, compactly: "caret2 (0,1)", "chars 3", "insert \"ab\\n\"", ...
std::string Brief(const SimulatedEditor::Message& m);
std::vector<std::string> Briefs(const std::vector<SimulatedEditor::Message>& log);

// The messages of the log with this number.
std::vector<SimulatedEditor::Message> OfKind(const std::vector<SimulatedEditor::Message>& log,
                                             std::uint32_t message);

}  // namespace kelvorat::test
