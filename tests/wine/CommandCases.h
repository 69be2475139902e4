// The commands that run both on Linux (the simulated desktop answers the
// menu) and under Wine (the real Kelvorat.dll, a real popup menu picked with
// keys): the same documents, selections and choices, and the outcome of one
// run written as lines of text. The Linux run writes its outcomes to a file;
// the Windows run compares its own with them line by line, so that any
// difference between the two builds shows.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "host/SimulatedEditor.h"
#include "library/StringUnit.h"

namespace kelvorat::wine_test {

// What is done with the menu.
inline constexpr int kChooseCancelItem = 0;  // the last item, "キャンセル"
inline constexpr int kDismiss = -1;          // Escape: no item chosen
inline constexpr int kClickOutside = -2;     // a click beside the menu: no item chosen

struct CommandCase {
  std::string name;
  WideText document;
  std::size_t anchor;  // offsets in the document; equal: nothing selected
  std::size_t caret;
  host::TEditPoint scroll;
  int choice;  // an action id 1 to 10, kChooseCancelItem, kDismiss or kClickOutside
};

// Test names show the case's name.
void PrintTo(const CommandCase& c, std::ostream* out);

// The editor's wrap width for display points (kind 0) in every case.
inline constexpr std::int32_t kWrapWidth = 8;

const std::vector<CommandCase>& CommandCases();

// The editor a case starts from: the document, the selection and the scroll
// position set, no message recorded yet.
void Prepare(const CommandCase& c, host::SimulatedEditor& editor);

// The document the case must end with: the selection (the whole document when
// nothing is selected) replaced by the action's result; unchanged when no
// action is chosen.
WideText PredictedDocument(const CommandCase& c);

// The outcome of a run: the case's input, then the document, selection,
// caret, scroll position and redraw state the editor ended with, then every
// message it received, one a line.
std::vector<std::string> Outcome(const CommandCase& c, const host::SimulatedEditor& editor);

// The items of a tracked menu, one a line: "item FLAGS ID TEXT", the text's
// bytes printable ASCII or \xNN.
struct MenuItem {
  std::uint32_t flags;  // 0 a text item, 0x800 a separator
  std::uintptr_t id;
  std::string text;  // ANSI bytes
};
std::vector<std::string> DescribeMenu(const std::vector<MenuItem>& items);

// Outcomes by case name, as the Linux run writes them ("case NAME", the
// lines, "end"). The menu's lines are kept under the name kMenuRecord.
using Outcomes = std::map<std::string, std::vector<std::string>>;
inline constexpr const char* kMenuRecord = "(menu)";
void WriteOutcomes(std::ostream& out, const Outcomes& outcomes);
// Precondition: the stream holds what WriteOutcomes wrote.
Outcomes ReadOutcomes(std::istream& in);

}  // namespace kelvorat::wine_test
