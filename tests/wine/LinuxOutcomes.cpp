// Runs the shared command cases through OnCommand on the simulated desktop
// and writes their outcomes, for the Windows test host to compare with.
// Fails when a document does not end as the engine predicts, or when the
// menu is not the one of thirteen items, so that a wrong reference is never
// written in silence.
//
// usage: command_outcomes OUTPUT-FILE
#include <cstdio>
#include <fstream>
#include <iostream>

#include "Kelvorat.h"
#include "platform/SimulatedDesktop.h"
#include "tests/wine/CommandCases.h"

using namespace kelvorat;
using namespace kelvorat::wine_test;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: command_outcomes OUTPUT-FILE\n";
    return 2;
  }
  Outcomes outcomes;
  int failures = 0;
  for (const CommandCase& c : CommandCases()) {
    host::SimulatedEditor editor({}, kWrapWidth);
    platform::SimulatedDesktop desktop;
    void* window = desktop.AddWindow(editor);
    Prepare(c, editor);
    desktop.Menu().SetAnswer(c.choice < 0 ? 0 : c.choice);  // a dismissed menu answers 0
    OnCommand(window);

    if (editor.Text() != PredictedDocument(c)) {
      std::cerr << c.name << ": the document is " << host::QuoteText(editor.Text()) << ", not "
                << host::QuoteText(PredictedDocument(c)) << '\n';
      ++failures;
    }
    if (!desktop.MessageBox().Shown().empty()) {
      std::cerr << c.name << ": a message box was shown\n";
      ++failures;
    }
    if (desktop.Menu().Trackings().size() != 1) {
      std::cerr << c.name << ": the menu was tracked " << desktop.Menu().Trackings().size() << " times\n";
      ++failures;
    } else if (outcomes.count(kMenuRecord) == 0) {
      std::vector<MenuItem> items;
      for (const auto& item : desktop.Menu().Trackings().front().items) {
        items.push_back({item.flags, item.id, item.text});
      }
      if (items.size() != 13) {
        std::cerr << "the menu has " << items.size() << " items\n";
        ++failures;
      }
      outcomes[kMenuRecord] = DescribeMenu(items);
    }
    outcomes[c.name] = Outcome(c, editor);
  }
  if (outcomes.size() != CommandCases().size() + 1) {
    std::cerr << "two cases share a name\n";
    ++failures;
  }
  if (failures != 0) {
    std::cerr << failures << " failures; " << argv[1] << " not written\n";
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  WriteOutcomes(out, outcomes);
  out.close();
  if (!out) {
    std::cerr << "cannot write " << argv[1] << '\n';
    return 1;
  }
  std::cout << CommandCases().size() << " cases written to " << argv[1] << '\n';
  return 0;
}
