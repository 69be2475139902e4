// Fault injection into one command: the 1st, 2nd, ... allocation of the
// plug-in fails, or the 1st, 2nd, ... host message misbehaves, until the
// command runs through. Every run must end with redrawing resumed exactly
// once, nothing escaping the export, the menu destroyed and no block of the
// plug-in left behind.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "FailingAllocator.h"
#include "HostSupport.h"
#include "Kelvorat.h"
#include "engine/Catalogue.h"
#include "host/plugin.h"

namespace kelvorat::test {
namespace {

struct Scenario {
  const char* name;
  std::u16string document;
  std::size_t anchor;
  std::size_t caret;
  int id;
};

const Scenario kScenarios[] = {
    {"nothing selected, lines rewritten and removed", u"a; // x\r\n/* b\r\nc */ d\r\ne\n", 3, 3, 2},
    {"selection, lines added by nothing, rewritten", u"x\r\n' one\r\ny = 1 ' two\r\nz", 3, 23, 3},
    {"selection emptied whole", u"k\n(* gone *)\n{ also }\nm", 2, 22, 4},
    {"extraction, more lines kept than code", u"<p>a<!-- b -->\nc\r<!-- d\n-->", 0, 27, 10},
};

const std::u16string kOutOfMemory = u"メモリが足りないため、コマンドを中止しました。";

struct Host {
  explicit Host(const Scenario& s) {
    // The document is the host's memory, not the plug-in's.
    CrossIntoDesktop(true);
    host = std::make_unique<SimulatedHost>(s.document, 5);
    host->editor.Select(s.anchor, s.caret);
    host->editor.SetRecording(true);
    CrossIntoDesktop(false);
    host->desktop.SetCrossingHook(CrossIntoDesktop);
    host->desktop.Menu().SetAnswer(s.id);
  }
  std::unique_ptr<SimulatedHost> host;
};

// The export returned normally, and the guard's promises hold.
void ExpectCleanEnd(const SimulatedHost& host, bool escaped) {
  // A host that ignored the last message may have kept its redrawing off.
  const bool lastHeeded = !host.editor.Log().empty() && !host.editor.Log().back().misbehaved;
  EXPECT_FALSE(escaped) << "an exception left OnCommand";
  EXPECT_EQ(host.editor.Received(host::HM_SET_REDRAW), 2u);
  ASSERT_FALSE(host.editor.Log().empty());
  const auto& last = host.editor.Log().back();
  EXPECT_EQ(last.message, host::HM_SET_REDRAW);
  EXPECT_EQ(last.wParam, 1u) << "redraw resumed, and nothing sent after it";
  if (lastHeeded) {
    EXPECT_TRUE(host.editor.RedrawOn());
  }
  EXPECT_EQ(host.desktop.Menu().Alive(), 0) << "no menu left behind";
}

bool CallOnCommand(const SimulatedHost& host) {
  try {
    OnCommand(host.window);
  } catch (...) {
    return true;
  }
  return false;
}

std::u16string Expected(const Scenario& s) {
  const std::size_t from = s.anchor == s.caret ? 0 : std::min(s.anchor, s.caret);
  const std::size_t to = s.anchor == s.caret ? s.document.size() : std::max(s.anchor, s.caret);
  return s.document.substr(0, from) + FindCommand(s.id)->Run(s.document.substr(from, to - from)) +
         s.document.substr(to);
}

TEST(FaultInjection, EveryAllocationOfTheCommandFailingInTurn) {
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    {
      Host warmUp(s);  // module constants that are built on first use
      CallOnCommand(*warmUp.host);
    }
    long failures = 0;
    for (long n = 1;; ++n) {
      SCOPED_TRACE("allocation " + std::to_string(n));
      Host h(s);
      const std::size_t liveBefore = LiveBlocks();
      bool escaped = false;
      bool triggered = false;
      {
        AllocationFailure failure(n);
        escaped = CallOnCommand(*h.host);
        triggered = failure.Triggered();
      }
      ExpectCleanEnd(*h.host, escaped);
      EXPECT_EQ(LiveBlocks(), liveBefore) << "blocks of the plug-in leaked";
      const auto& shown = h.host->desktop.MessageBox().Shown();
      if (!triggered) {
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(h.host->editor.Text(), Expected(s));
        EXPECT_GT(failures, 0) << "the command allocates";
        break;
      }
      ++failures;
      ASSERT_EQ(shown.size(), 1u) << "the user is told";
      EXPECT_EQ(FromCp932(shown[0].text), kOutOfMemory);
      EXPECT_EQ(shown[0].caption, "Kelvorat");
      EXPECT_EQ(shown[0].style, 0x10u);
      if (HasFailure()) break;
    }
  }
}

TEST(FaultInjection, EveryHostMessageMisbehavingInTurn) {
  const struct {
    const char* name;
    SimulatedEditor::Misbehaviour how;
    MessageResult reply;
  } kinds[] = {
      {"ignored", SimulatedEditor::Misbehaviour::Ignore, 0},
      {"wild, reply -1", SimulatedEditor::Misbehaviour::Wild, -1},
      {"wild, reply INT_MAX", SimulatedEditor::Misbehaviour::Wild, INT_MAX},
      {"wild, reply 5", SimulatedEditor::Misbehaviour::Wild, 5},
  };
  for (const Scenario& s : kScenarios) {
    for (const auto& kind : kinds) {
      SCOPED_TRACE(std::string(s.name) + ", " + kind.name);
      for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE("message " + std::to_string(n));
        Host h(s);
        h.host->editor.MisbehaveAt(n, kind.how, kind.reply);
        const bool escaped = CallOnCommand(*h.host);
        ExpectCleanEnd(*h.host, escaped);
        const auto& shown = h.host->desktop.MessageBox().Shown();
        EXPECT_LE(shown.size(), 1u);
        if (!shown.empty()) {
          EXPECT_EQ(FromCp932(shown[0].text), kOutOfMemory);
        }
        if (h.host->editor.MessagesReceived() < n) {
          EXPECT_EQ(h.host->editor.Text(), Expected(s)) << "no message misbehaved";
          break;
        }
        if (HasFailure()) break;
      }
    }
  }
}

}  // namespace
}  // namespace kelvorat::test
