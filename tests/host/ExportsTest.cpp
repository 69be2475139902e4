// The exported functions as the host calls them: the command's message
// sequences, its menu, the status query, the events and the plug-in procedure.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostSupport.h"
#include "Kelvorat.h"
#include "engine/Catalogue.h"
#include "host/plugin.h"
#include "library/TemplateList/ListClone.h"

namespace kelvorat::test {
namespace {

using platform::MenuItemRecord;

const std::vector<std::string> kDismissed{"redraw off", "start2", "scroll?", "has selection?", "redraw on"};

// ---- The menu ----

TEST(OnCommand, ShowsTheThirteenItemsAtTheCursorAndDestroysTheMenu) {
  for (const int answer : {0, 2}) {
    SimulatedHost host(u"a /* b */ c");
    host.desktop.SetCursor({321, 654});
    host.desktop.Menu().SetAnswer(answer);
    OnCommand(host.window);

    ASSERT_EQ(host.desktop.Menu().Trackings().size(), 1u);
    const platform::MenuTrackRecord& t = host.desktop.Menu().Trackings()[0];
    EXPECT_EQ(t.flags, 0x100u) << "return the command, left and top at the point, left button";
    EXPECT_EQ(t.x, 321);
    EXPECT_EQ(t.y, 654);
    EXPECT_EQ(t.reserved, 0);
    EXPECT_EQ(t.owner, host.window);
    EXPECT_EQ(host.desktop.Menu().Created(), 1);
    EXPECT_EQ(host.desktop.Menu().Alive(), 0) << "the menu is destroyed once tracked";

    const auto catalogue = Catalogue();
    std::vector<std::tuple<std::uint32_t, std::uintptr_t, std::u16string>> expected;
    for (int id = 1; id <= 5; ++id) expected.emplace_back(0u, id, std::u16string(catalogue[id - 1].MenuLabel));
    expected.emplace_back(0x800u, 0, u"");
    for (int id = 6; id <= 10; ++id) expected.emplace_back(0u, id, std::u16string(catalogue[id - 1].MenuLabel));
    expected.emplace_back(0x800u, 0, u"");
    expected.emplace_back(0u, 0, u"キャンセル");
    ASSERT_EQ(t.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const MenuItemRecord& item = t.items[i];
      const auto& [flags, id, label] = expected[i];
      EXPECT_EQ(item.flags, flags) << i;
      EXPECT_EQ(item.id, id) << i;
      EXPECT_EQ(item.hasText, flags == 0u) << i;
      EXPECT_EQ(FromCp932(item.text), label) << i;
    }
  }
}

TEST(OnCommand, AFailedMenuIsACancel) {
  SimulatedHost host(u"a /* b */ c");
  host.desktop.Menu().SetCreationFails(true);
  host.desktop.Menu().SetAnswer(2);
  OnCommand(host.window);
  EXPECT_EQ(Briefs(host.editor.Log()), kDismissed);
  EXPECT_EQ(host.editor.Text(), u"a /* b */ c");
}

// ---- Message sequences ----

struct CommandCase {
  const char* name;
  std::u16string document;
  std::size_t anchor;
  std::size_t caret;
  int answer;
  std::vector<std::string> messages;
  std::u16string after;
  std::size_t afterAnchor;
  std::size_t afterCaret;
};

TEST(OnCommand, SendsTheMessagesOfEachWayThrough) {
  const std::string scroll = "scroll (3,7)";
  const CommandCase cases[] = {
      {"dismissed, something selected", u"a /* b */\r\nc", 0, 9, 0, kDismissed, u"a /* b */\r\nc", 0, 9},
      {"low 8 bits zero is a dismissal", u"a /* b */\r\nc", 4, 4, 0x100, kDismissed, u"a /* b */\r\nc", 4, 4},
      {"an id outside the menu is a dismissal", u"a /* b */\r\nc", 4, 4, 11, kDismissed, u"a /* b */\r\nc", 4, 4},
      {"nothing selected: whole document, caret set back", u"x\r\na /* b */ c\r\n", 5, 5, 1,
       {"redraw off", "start2", "scroll?", "has selection?", "select all", "text?", "text 17",
        // the write-back
        "text?", "text 17", "start2", "start0", "end0", "caret?0", "caret2 (0,1)", "caret2 (0,1)", "chars 11",
        "insert \"a  c\"", "caret2 (0,2)", "caret2 (0,0)", "chars 9", "start0", "end0", "select (0,0)-(0,2)",
        // restoring
        "clear selection", "caret2 (2,1)", scroll, "redraw on"},
       u"x\r\na  c\r\n", 5, 5},
      {"something selected: no select all, no caret restored", u"q\r\na /* b */ c\r\n", 3, 14, 0x102,
       {"redraw off", "start2", "scroll?", "has selection?", "text?", "text 12", "text?", "text 12", "start2",
        "start0", "end0", "caret?0", "caret2 (0,1)", "chars 11", "insert \"a  c\"", "caret2 (0,1)", "chars 4",
        "start0", "end0", "select (0,1)-(4,1)", scroll, "redraw on"},
       u"q\r\na  c\r\n", 3, 7},
      {"result equal to source: the restoring steps still run", u"ab\r\ncd", 2, 2, 3,
       {"redraw off", "start2", "scroll?", "has selection?", "select all", "text?", "text 7", "text?", "text 7",
        "start2", "start0", "end0", "caret?0", "caret2 (0,1)", "caret2 (0,2)", "caret2 (0,0)", "chars 6", "start0",
        "end0", "select (0,0)-(2,1)", "clear selection", "caret2 (2,0)", scroll, "redraw on"},
       u"ab\r\ncd", 2, 2},
      {"empty document", u"", 0, 0, 7,
       {"redraw off", "start2", "scroll?", "has selection?", "select all", "text?", "text 1", "text?", "text 1",
        "start2", "start0", "end0", "caret?0", "caret2 (0,0)", "chars 0", "start0", "end0", "caret0 (0,0)",
        "clear selection", "caret2 (0,0)", scroll, "redraw on"},
       u"", 0, 0},
      {"saved caret beyond the shortened text is sent unchanged", u"a /* long */ b", 14, 14, 1,
       {"redraw off", "start2", "scroll?", "has selection?", "select all", "text?", "text 15", "text?", "text 15",
        "start2", "start0", "end0", "caret?0", "caret2 (0,0)", "chars 14", "insert \"a  b\"", "caret2 (0,0)",
        "chars 4", "start0", "end0", "select (0,0)-(4,0)", "clear selection", "caret2 (14,0)", scroll,
        "redraw on"},
       u"a  b", 4, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedHost host(c.document, 40);
    host.editor.Select(c.anchor, c.caret);
    host.editor.SetScroll({3, 7});
    host.desktop.Menu().SetAnswer(c.answer);
    OnCommand(host.window);
    EXPECT_EQ(Briefs(host.editor.Log()), c.messages);
    EXPECT_EQ(host.editor.Text(), c.after);
    EXPECT_EQ(host.editor.Anchor(), c.afterAnchor);
    EXPECT_EQ(host.editor.Caret(), c.afterCaret);
    EXPECT_TRUE(host::SamePoint(host.editor.Scroll(), TEditPoint{3, 7}));
    EXPECT_TRUE(host.editor.RedrawOn());
    EXPECT_TRUE(host.desktop.MessageBox().Shown().empty());
  }
}

TEST(OnCommand, FailureTextsDecodeToWhatTheUserIsTold) {
  const auto textOf = [](auto raise) {
    try {
      raise();
    } catch (...) {
      return std::string(plugin::FailureText());
    }
    return std::string("<nothing raised>");
  };
  const std::u16string outOfMemory = u"メモリが足りないため、コマンドを中止しました。";
  EXPECT_EQ(FromCp932(textOf([] { throw std::bad_alloc(); })), outOfMemory);
  EXPECT_EQ(FromCp932(textOf([] { throw std::length_error("long"); })), outOfMemory);
  EXPECT_EQ(FromCp932(textOf([] { throw std::runtime_error("other"); })), u"コマンドを実行できませんでした。");
  const std::string listError = textOf([] { throw TListError(); });
  EXPECT_EQ(FromCp932(listError), u"Listエラー (TemplateList\\ListClone, 127 行)");
  EXPECT_EQ(FromCp932(listError), FromUtf8(TListError().what())) << "the list error's own text";
}

TEST(OnCommand, AFailureIsShownOwnedByTheHostWindowAfterRedrawResumes) {
  SimulatedHost host(u"a /* b */ c");
  host.desktop.Menu().SetAnswer(1);
  host.editor.SetCapacityReply(INT32_MAX);
  OnCommand(host.window);
  const auto& shown = host.desktop.MessageBox().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].owner, host.window);
  EXPECT_EQ(shown[0].caption, "Kelvorat");
  EXPECT_EQ(shown[0].style, 0x10u) << "OK button, error icon";
  EXPECT_EQ(FromCp932(shown[0].text), u"メモリが足りないため、コマンドを中止しました。");
  EXPECT_EQ(Briefs(host.editor.Log()).back(), "redraw on");
  EXPECT_EQ(host.editor.Received(host::HM_SET_REDRAW), 2u);
  EXPECT_EQ(host.editor.Text(), u"a /* b */ c");
}

// ---- QueryStatus ----

TEST(QueryStatus, EnabledWhenTheLowByteOfTheAnswerIsSet) {
  const struct {
    MessageResult reply;
    std::int32_t expected;
  } cases[] = {{256, 0}, {1, -1}, {-1, -1}, {0, 0}, {0x1FF, -1}, {0x7FFFFF00, 0}, {0x80, -1}};
  for (const auto& c : cases) {
    SimulatedHost host;
    host.editor.SetStatusReply(c.reply);
    std::uint32_t flags = 0xA5A5A5A5u;
    EXPECT_EQ(QueryStatus(host.window, &flags), c.expected) << c.reply;
    ASSERT_EQ(host.editor.Log().size(), 1u);
    const auto& m = host.editor.Log()[0];
    EXPECT_EQ(m.message, host::HM_QUERY_STATUS);
    EXPECT_EQ(m.wParam, 4201u);
    EXPECT_EQ(m.lParam, reinterpret_cast<LParam>(&flags)) << "the flag pointer is passed on unchanged";
    EXPECT_EQ(flags, 0xA5A5A5A5u) << "and never written through";
  }
}

// ---- OnEvents ----

TEST(OnEvents, StoresAndRepliesTheEventValue) {
  struct Call {
    std::uint32_t events;
    std::intptr_t lParam;
  };
  const struct {
    const char* name;
    std::vector<Call> calls;
    std::vector<std::string> replies;
  } cases[] = {
      {"reply before any store carries 0", {{0x40, 99}}, {"event reply 0"}},
      {"both bits: stored first, then replied", {{0x440, 77}}, {"event reply 77"}},
      {"store only sends nothing", {{0x400, 5}}, {}},
      {"the value is kept between calls", {{0x400, 5}, {0x40, 6}, {0x40, 7}}, {"event reply 5", "event reply 5"}},
      {"a new store replaces it", {{0x400, 5}, {0x400, 8}, {0x40, 0}}, {"event reply 8"}},
      {"other bits are ignored", {{0x400, 5}, {~0x440u, 9}, {0x40, 0}}, {"event reply 5"}},
      {"32 bits are kept", {{0x440, -1}}, {"event reply 4294967295"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plugin::RestartModule();
    SimulatedHost host;
    for (const Call& call : c.calls) OnEvents(host.window, call.events, call.lParam);
    EXPECT_EQ(Briefs(host.editor.Log()), c.replies);
    for (const auto& m : host.editor.Log()) EXPECT_EQ(m.lParam, 0);
  }
}

// ---- PlugInProc ----

TEST(PlugInProc, AnswersEachRequestCode) {
  constexpr std::uintptr_t kHuge = ~std::uintptr_t{0};
  const struct {
    const char* name;
    std::uint32_t code;
    std::uintptr_t wParam;
    bool buffer;
    std::int32_t result;
    std::string written;  // the buffer's start afterwards; '#' is untouched
  } cases[] = {
      {"name, no buffer", 2306, 32, false, 8, "################"},
      {"name, size 0 writes nothing", 2306, 0, true, 8, "################"},
      {"name, size 1: just the zero", 2306, 1, true, 8, std::string("\0###############", 16)},
      {"name, cut short", 2306, 4, true, 8, std::string("Kel\0############", 16)},
      {"name, exact size", 2306, 9, true, 8, std::string("Kelvorat\0#######", 16)},
      {"name, huge size", 2306, kHuge, true, 8, std::string("Kelvorat\0#######", 16)},
      {"version, no buffer", 2308, 6, false, 13, "################"},
      {"version, size 6", 2308, 6, true, 13, std::string("versi\0##########", 16)},
      {"version, room to spare", 2308, 16, true, 13, std::string("version 2.0.0\0##", 16)},
      {"can uninstall", 2310, 16, true, 1, "################"},
      {"2304", 2304, 16, true, 0, "################"},
      {"2305", 2305, 16, true, 0, "################"},
      {"2307", 2307, 16, true, 0, "################"},
      {"2309", 2309, 16, true, 0, "################"},
      {"0", 0, 16, true, 0, "################"},
      {"all bits", 0xFFFFFFFFu, 16, true, 0, "################"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedHost host;
    char buffer[17] = "################";
    const std::intptr_t lParam = c.buffer ? reinterpret_cast<std::intptr_t>(buffer) : 0;
    EXPECT_EQ(PlugInProc(host.window, c.code, c.wParam, lParam), c.result);
    EXPECT_EQ(std::string(buffer, 16), c.written);
    EXPECT_TRUE(host.editor.Log().empty());
    EXPECT_TRUE(host.desktop.MessageBox().Shown().empty());
  }
}

TEST(PlugInProc, ConfirmsUninstallationWithTheUser) {
  const struct {
    int answer;
    std::int32_t result;
  } cases[] = {{platform::kAnswerYes, 1}, {platform::kAnswerNo, 0}, {0, 0}, {platform::kAnswerOk, 0}};
  for (const auto& c : cases) {
    SimulatedHost host;
    host.desktop.MessageBox().SetAnswer(c.answer);
    EXPECT_EQ(PlugInProc(host.window, 2311, 0, 0), c.result) << c.answer;
    ASSERT_EQ(host.desktop.MessageBox().Shown().size(), 1u);
    const auto& box = host.desktop.MessageBox().Shown()[0];
    EXPECT_EQ(box.owner, host.window);
    EXPECT_EQ(FromCp932(box.text), u"アンインストールしますか？");
    EXPECT_EQ(box.caption, "Kelvorat");
    EXPECT_EQ(box.style, 0x24u) << "Yes and No buttons, question icon";
  }
}

TEST(ResourceIds, NameTheStringsAndTheBitmap) {
  EXPECT_EQ(GetMenuTextID(), 1);
  EXPECT_EQ(GetStatusMessageID(), 2);
  EXPECT_EQ(GetBitmapID(), 101);
}

}  // namespace
}  // namespace kelvorat::test
