// The selection helpers and the line-differential write-back, message by
// message, on the simulated editor.
#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "HostSupport.h"
#include "host/PluginLibrary.h"
#include "host/PluginLibrary2.h"

namespace kelvorat::test {
namespace {

using namespace std::string_literals;
using host::ApplyTextByLines;
using host::GetSelectedText;

TEST(GetLineBreakKind, TellsHowALineEnds) {
  const struct {
    std::u16string line;
    std::uint8_t kind;
  } cases[] = {
      {u"", 3},     {u"a", 3},     {u"\r\n", 0},   {u"ab\r\n", 0}, {u"\r", 1},    {u"a\r", 1},
      {u"\n", 2},   {u"a\n", 2},   {u"\n\r", 1},   {u"\r\r", 1},   {u"\n\n", 2},  {u"a\r\nb", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(host::GetLineBreakKind(c.line), c.kind) << QuoteText(c.line);
  }
}

// ---- GetSelectedText ----

struct SelectedTextCase {
  const char* name;
  std::u16string document;
  std::size_t from;
  std::size_t to;
  std::optional<std::int32_t> capacityReply;
  bool writesNoNul;
  std::u16string expected;
  std::int32_t secondCapacity;  // wParam of the second request
};

TEST(GetSelectedText, FollowsTheCapacityProtocol) {
  const SelectedTextCase cases[] = {
      {"capacity with the NUL", u"abcdef", 0, 3, std::nullopt, false, u"abc", 4},
      {"capacity 4, three units and a NUL written", u"abcdef", 1, 4, 4, false, u"bcd", 4},
      {"a NUL inside the selection ends it", u"ab\0cd"s, 0, 5, std::nullopt, false, u"ab", 6},
      {"no NUL written: all units remain", u"abcdef", 2, 6, std::nullopt, true, u"cdef", 4},
      {"no NUL written into a larger buffer", u"abcdef", 2, 6, 9, true, u"cdef", 9},
      {"a capacity too small cuts the text", u"abcdef", 0, 6, 3, false, u"ab", 3},
      {"capacity 0: empty, second request still sent", u"abcdef", 0, 6, 0, false, u"", 0},
      {"negative capacity: empty, sent back as it came", u"abcdef", 0, 6, -5, false, u"", -5},
      {"nothing selected", u"abcdef", 2, 2, std::nullopt, false, u"", 1},
      {"across line breaks", u"a\r\nb\nc\rd", 0, 8, std::nullopt, false, u"a\r\nb\nc\rd", 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedHost host(c.document);
    host.editor.Select(c.from, c.to);
    host.editor.SetCapacityReply(c.capacityReply);
    host.editor.SetWritesNoNul(c.writesNoNul);
    WideText text = u"previous content";
    GetSelectedText(host.window, text);
    EXPECT_EQ(text, c.expected);
    const auto requests = OfKind(host.editor.Log(), host::HM_GET_SEL_TEXT);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].wParam, 0u);
    EXPECT_EQ(requests[0].lParam, 0);
    EXPECT_EQ(requests[1].wParam, static_cast<WParam>(static_cast<std::intptr_t>(c.secondCapacity)));
    EXPECT_NE(requests[1].lParam, 0) << "the buffer is never null, even for an empty text";
    EXPECT_EQ(host.editor.Log().size(), 2u);
  }
}

TEST(GetSelectedText, CapacityBeyondWhatCanBeHeldIsExhaustedMemory) {
  for (const std::int32_t capacity : {host::kMaxSelectionUnits + 1, INT_MAX}) {
    SimulatedHost host(u"abc");
    host.editor.Select(0, 3);
    host.editor.SetCapacityReply(capacity);
    WideText text;
    EXPECT_THROW(GetSelectedText(host.window, text), std::bad_alloc) << capacity;
    EXPECT_EQ(host.editor.Log().size(), 1u) << "no buffer is offered after the capacity";
  }
}

// ---- Points and selection ----

// Line 0 is wrapped in the display kind: 10 units at width 4 are three rows.
constexpr char16_t kWrapped[] = u"abcdefghij\nxyz";

TEST(SelectRange, EqualPointsGiveABareCaretElseASelection) {
  const struct {
    TEditPoint anchor;
    TEditPoint caret;
    std::vector<std::string> messages;
    std::size_t anchorOffset;
    std::size_t caretOffset;
  } cases[] = {
      {{1, 1}, {1, 1}, {"caret0 (1,1)"}, 5, 5},
      {{1, 0}, {2, 3}, {"select (1,0)-(2,3)"}, 1, 13},
      {{2, 3}, {1, 0}, {"select (2,3)-(1,0)"}, 13, 1},
  };
  for (const auto& c : cases) {
    SimulatedHost host(kWrapped, 4);
    host::SelectRange(host.window, c.anchor, c.caret);
    EXPECT_EQ(Briefs(host.editor.Log()), c.messages);
    EXPECT_EQ(host.editor.Anchor(), c.anchorOffset);
    EXPECT_EQ(host.editor.Caret(), c.caretOffset);
  }
}

TEST(ReselectKeepingDirection, KeepsTheStretchAndSetsTheCaretEnd) {
  const struct {
    std::size_t anchor;
    std::size_t caret;
    bool atEnd;
    std::string setMessage;
    std::size_t newAnchor;
    std::size_t newCaret;
  } cases[] = {
      {1, 13, true, "select (1,0)-(2,3)", 1, 13},
      {1, 13, false, "select (2,3)-(1,0)", 13, 1},
      {13, 1, true, "select (1,0)-(2,3)", 1, 13},
      {13, 1, false, "select (2,3)-(1,0)", 13, 1},
      {6, 6, true, "caret0 (2,1)", 6, 6},
      {6, 6, false, "caret0 (2,1)", 6, 6},
  };
  for (const auto& c : cases) {
    SimulatedHost host(kWrapped, 4);
    host.editor.Select(c.anchor, c.caret);
    host::ReselectKeepingDirection(host.window, c.atEnd);
    EXPECT_EQ(Briefs(host.editor.Log()), (std::vector<std::string>{"start0", "end0", c.setMessage}));
    EXPECT_EQ(host.editor.Anchor(), c.newAnchor);
    EXPECT_EQ(host.editor.Caret(), c.newCaret);
  }
}

TEST(IsCaretAtSelectionEnd, TrueOnlyWithTheCaretAtTheEndOfASelection) {
  const struct {
    std::size_t anchor;
    std::size_t caret;
    bool expected;
  } cases[] = {{5, 5, false}, {13, 1, false}, {1, 13, true}, {0, 1, true}};
  for (const auto& c : cases) {
    SimulatedHost host(kWrapped, 4);
    host.editor.Select(c.anchor, c.caret);
    EXPECT_EQ(host::IsCaretAtSelectionEnd(host.window), c.expected) << c.anchor << "-" << c.caret;
    EXPECT_EQ(Briefs(host.editor.Log()), (std::vector<std::string>{"start0", "end0", "caret?0"}));
  }
}

// ---- ApplyTextByLines ----

struct WriteBackCase {
  const char* name;
  std::u16string document;
  std::size_t anchor;
  std::size_t caret;
  std::u16string newText;
  std::vector<std::string> lineMessages;  // between the reading and the final selection
  std::u16string after;
};

TEST(ApplyTextByLines, RewritesOnlyTheLinesThatDiffer) {
  const WriteBackCase cases[] = {
      {"identical text: caret moves only", u"ab\r\ncd\r\n", 0, 8, u"ab\r\ncd\r\n",
       {"caret2 (0,1)", "caret2 (0,2)"}, u"ab\r\ncd\r\n"},
      {"second of two CR LF lines changed", u"ab\r\ncd\r\n", 0, 8, u"ab\r\nXYZ\r\n",
       {"caret2 (0,1)", "caret2 (0,1)", "chars 2", "insert \"XYZ\"", "caret2 (0,2)"}, u"ab\r\nXYZ\r\n"},
      {"CR LF line becomes an LF line", u"ab\r\ncd", 0, 6, u"ab\ncd",
       {"caret2 (0,0)", "chars 4", "insert \"ab\\n\"", "caret2 (0,2)"}, u"ab\ncd"},
      {"selection beginning inside a line", u"xxab\r\ncd\r\nyy", 2, 10, u"AB\r\nCD\r\n",
       {"caret2 (2,0)", "chars 2", "insert \"AB\"", "caret2 (0,1)", "caret2 (0,1)", "chars 2", "insert \"CD\"",
        "caret2 (0,2)"},
       u"xxAB\r\nCD\r\nyy"},
      {"fewer lines: the rest removed in one step", u"a/*\r\nb*/c\r\nd\r\n", 0, 14, u"ac\r\nd\r\n",
       {"caret2 (0,0)", "chars 3", "insert \"ac\"", "caret2 (0,1)", "caret2 (0,1)", "chars 4", "insert \"d\"",
        "caret2 (0,2)", "chars 3", "insert \"\""},
       u"ac\r\nd\r\n"},
      {"more lines: the rest inserted in one step", u"ab", 0, 2, u"ab\r\ncd\r\nef",
       {"caret2 (0,0)", "chars 2", "insert \"ab\\r\\n\"", "insert \"cd\\r\\nef\""}, u"ab\r\ncd\r\nef"},
      {"empty old and new text", u"abc", 1, 1, u"", {}, u"abc"},
      {"letter case counts", u"abc\nz", 0, 5, u"ABC\nz", {"caret2 (0,0)", "chars 4", "insert \"ABC\\n\"", "caret2 (0,2)"},
       u"ABC\nz"},
      {"caret at the start of the selection", u"q\r\nab\r\n", 7, 3, u"AB\r\n",
       {"caret2 (0,1)", "chars 2", "insert \"AB\"", "caret2 (0,2)"}, u"q\r\nAB\r\n"},
      {"unchanged last line without a break: caret past the end", u"a\r\nb", 0, 4, u"A\r\nb",
       {"caret2 (0,0)", "chars 1", "insert \"A\"", "caret2 (0,1)", "caret2 (0,2)"}, u"A\r\nb"},
      {"new text empty, caret at the selection's end: exactly the selection goes", u"xx/*c*/yy", 2, 7, u"",
       {"caret2 (2,0)", "chars 5", "insert \"\""}, u"xxyy"},
      {"new text empty, several lines", u"k\n/*\n*/\nm", 2, 8, u"",
       {"caret2 (0,1)", "chars 6", "insert \"\""}, u"k\nm"},
      {"old text empty, new text inserted at the caret", u"ab", 1, 1, u"X\nY",
       {"insert \"X\\nY\""}, u"aX\nYb"},
      {"a line written with a lone CR meets an old line that is a lone LF", u"a\n\nb\n", 0, 5, u"c\rd\nb\n",
       {"caret2 (0,0)", "chars 2", "insert \"c\\r\"", "chars 1", "insert \"d\\n\"", "caret2 (0,3)"},
       u"c\rd\nb\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedHost host(c.document, 3);
    host.editor.Select(c.anchor, c.caret);
    const std::size_t start = host.editor.SelectionStart();
    const TEditPoint s = host.editor.ToLogical(start);
    const bool caretAtEnd = c.caret > c.anchor;
    ApplyTextByLines(host.window, c.newText);
    EXPECT_EQ(host.editor.Text(), c.after);

    const std::vector<std::string> all = Briefs(host.editor.Log());
    const std::vector<std::string> reading{"text?", "text " + std::to_string(c.caret > c.anchor ? c.caret - c.anchor + 1 : c.anchor - c.caret + 1),
                                           "start2", "start0", "end0", "caret?0"};
    ASSERT_EQ(all.size(), reading.size() + c.lineMessages.size() + 5);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 6), reading);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 6, all.end() - 5), c.lineMessages);
    const std::string sPoint = "(" + std::to_string(s.X) + "," + std::to_string(s.Y) + ")";
    EXPECT_EQ(all[all.size() - 5], "caret2 " + sPoint);
    EXPECT_EQ(all[all.size() - 4], "chars " + std::to_string(c.newText.size()));
    EXPECT_EQ(all[all.size() - 3], "start0");
    EXPECT_EQ(all[all.size() - 2], "end0");

    const std::size_t end = start + c.newText.size();
    EXPECT_EQ(host.editor.SelectionStart(), start);
    EXPECT_EQ(host.editor.SelectionEnd(), end);
    EXPECT_EQ(host.editor.Caret(), caretAtEnd ? end : start);
  }
}

TEST(ApplyTextByLines, ALoneCrBeforeTheSelectionMeetingTheFirstLineWritten) {
  // "p" CR, then the selection: its first line becomes a lone LF, which joins
  // that CR into one CR LF; the lines after it move up by one.
  SimulatedHost host(u"p\r/*c*/\nq\nz", 3);
  host.editor.Select(2, 10);
  ApplyTextByLines(host.window, u"\nQ\n");
  EXPECT_EQ(host.editor.Text(), u"p\r\nQ\nz");
  const std::vector<std::string> all = Briefs(host.editor.Log());
  const std::vector<std::string> lines(all.begin() + 6, all.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"caret2 (0,1)", "chars 6", "insert \"\\n\"", "caret?2", "caret2 (0,1)",
                                             "chars 2", "insert \"Q\\n\"", "caret2 (0,1)", "chars 2", "start0",
                                             "end0", "select (0,1)-(0,2)"}));
  // The new text's LF lies inside the CR LF; the rest of it is selected.
  EXPECT_EQ(host.editor.SelectionStart(), 3u);
  EXPECT_EQ(host.editor.SelectionEnd(), 5u);
}

// ---- The simulated editor itself ----

// Random edits against a plain string: the line index, the two point kinds
// and the selection must agree with what the plain text says.
TEST(SimulatedEditor, AgreesWithAPlainTextUnderRandomEdits) {
  std::uint32_t seed = 12345;
  const auto next = [&](std::uint32_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % bound;
  };
  const char16_t pieces[] = {u'a', u'b', u'\r', u'\n', u' ', u'x'};
  for (int round = 0; round < 200; ++round) {
    const auto width = static_cast<std::int32_t>(1 + next(6));
    std::u16string model;
    for (std::uint32_t n = next(30), i = 0; i < n; ++i) model += pieces[next(6)];
    SimulatedHost host(model, width);
    for (int step = 0; step < 20; ++step) {
      std::size_t a = next(static_cast<std::uint32_t>(model.size() + 1));
      std::size_t b = next(static_cast<std::uint32_t>(model.size() + 1));
      std::u16string insert;
      for (std::uint32_t n = next(6), i = 0; i < n; ++i) insert += pieces[next(6)];
      host.editor.Select(a, b);
      platform::SendHostMessage(host.window, host::HM_INSERT_TEXT, 0, reinterpret_cast<LParam>(insert.c_str()));
      if (a > b) std::swap(a, b);
      model.replace(a, b - a, insert);
      ASSERT_EQ(host.editor.Text(), model);
      ASSERT_EQ(host.editor.Caret(), a + insert.size());

      // Logical points: line = breaks before the offset, column = units since the last one.
      std::int32_t line = 0;
      std::size_t lineStart = 0;
      for (std::size_t o = 0; o <= model.size(); ++o) {
        if (o > 0) {
          const char16_t u = model[o - 1];
          const bool crBeforeLf = u == u'\r' && o < model.size() && model[o] == u'\n';
          if ((u == u'\n' || u == u'\r') && !crBeforeLf) {
            ++line;
            lineStart = o;
          }
        }
        const bool insideCrLf = o > 0 && o < model.size() && model[o - 1] == u'\r' && model[o] == u'\n';
        if (insideCrLf) continue;
        const TEditPoint logical = host.editor.ToLogical(o);
        ASSERT_EQ(logical.Y, line) << o;
        ASSERT_EQ(logical.X, static_cast<std::int32_t>(o - lineStart)) << o;
        ASSERT_EQ(host.editor.FromLogical(logical), o);
        const TEditPoint display = host.editor.ToDisplay(o);
        ASSERT_LE(display.X, width);
        ASSERT_GE(display.Y, logical.Y);
        ASSERT_EQ(host.editor.FromDisplay(display), o);
      }
      ASSERT_EQ(host.editor.LineCount(), line + 1);
    }
  }
}

TEST(SimulatedEditor, DisplayAndLogicalPointsDifferOnWrappedLines) {
  SimulatedHost host(kWrapped, 4);
  // Offset 9 is column 9 of line 0, and on the third display row.
  EXPECT_TRUE(host::SamePoint(host.editor.ToLogical(9), TEditPoint{9, 0}));
  EXPECT_TRUE(host::SamePoint(host.editor.ToDisplay(9), TEditPoint{1, 2}));
  EXPECT_EQ(host.editor.DisplayLineCount(), 4);
  // Points outside the text are taken to the nearest place inside it.
  EXPECT_EQ(host.editor.FromLogical({99, 0}), 10u);
  EXPECT_EQ(host.editor.FromLogical({0, 99}), 14u);
  EXPECT_EQ(host.editor.FromLogical({INT_MIN, INT_MAX}), 14u);
  EXPECT_EQ(host.editor.FromDisplay({-3, -3}), 0u);
}

TEST(SimulatedEditor, MisbehavesAtTheNthMessageOnly) {
  SimulatedHost host(kWrapped, 4);
  host.editor.Select(1, 13);
  host.editor.MisbehaveAt(2, SimulatedEditor::Misbehaviour::Wild, 77);
  const TEditPoint first = host::ReadPoint(host.window, host::HM_GET_SEL_START, 2);
  const TEditPoint second = host::ReadPoint(host.window, host::HM_GET_SEL_START, 2);
  const TEditPoint third = host::ReadPoint(host.window, host::HM_GET_SEL_START, 2);
  EXPECT_TRUE(host::SamePoint(first, TEditPoint{1, 0}));
  EXPECT_TRUE(host::SamePoint(second, TEditPoint{INT_MIN, INT_MAX}));
  EXPECT_TRUE(host::SamePoint(third, first));
  EXPECT_EQ(host.editor.Log()[1].reply, 77);

  host.editor.MisbehaveAt(1, SimulatedEditor::Misbehaviour::Ignore);
  const std::u16string text = u"zz";
  platform::SendHostMessage(host.window, host::HM_INSERT_TEXT, 0, reinterpret_cast<LParam>(text.c_str()));
  EXPECT_EQ(host.editor.Text(), kWrapped) << "an ignored message changes nothing";
}

}  // namespace
}  // namespace kelvorat::test
