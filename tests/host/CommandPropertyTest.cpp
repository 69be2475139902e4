// The whole command on random documents: CR LF, LF and CR mixed, empty lines,
// with and without a final break; random selections or none; all ten ids.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "HostSupport.h"
#include "Kelvorat.h"
#include "engine/Catalogue.h"
#include "host/PluginLibrary2.h"
#include "host/plugin.h"
#include "library/WideStringRecordList.h"

namespace kelvorat::test {
namespace {

std::vector<std::u16string> LinesOf(const std::u16string& text) {
  TCommonStringRecordList list;
  list.SplitLines(text);
  std::vector<std::u16string> lines;
  for (std::int32_t i = 0; i < list.Count(); ++i) lines.push_back(list.GetItem(i));
  return lines;
}

std::u16string RandomDocument(std::mt19937& rng) {
  static const char16_t* const kTokens[] = {u"a",  u"bc", u" ",  u"/*",  u"*/",  u"//",  u"'",   u"\"",
                                            u"{",  u"}",  u"(*", u"*)",  u"<!--", u"-->", u"rem", u"{$",
                                            u"\\", u"x;", u"é",  u"\t"};
  static const char16_t* const kBreaks[] = {u"\r\n", u"\n", u"\r"};
  std::u16string doc;
  const int lines = static_cast<int>(rng() % 8);
  for (int i = 0; i < lines; ++i) {
    for (int t = static_cast<int>(rng() % 6); t > 0; --t) doc += kTokens[rng() % std::size(kTokens)];
    if (i + 1 < lines || rng() % 2 == 0) doc += kBreaks[rng() % 3];
  }
  return doc;
}

// An offset where a caret can stand: not between the CR and the LF of a break.
std::size_t RandomCaretPlace(std::mt19937& rng, const std::u16string& doc) {
  for (;;) {
    const std::size_t o = rng() % (doc.size() + 1);
    if (o == 0 || o == doc.size() || !(doc[o - 1] == u'\r' && doc[o] == u'\n')) return o;
  }
}

struct Expected {
  std::vector<std::u16string> removed;
  std::vector<std::u16string> inserted;
  std::size_t selections;
};

// What the write-back must touch: each pair of lines that differ, then the
// surplus in one step.
Expected Touched(const std::u16string& source, const std::u16string& result) {
  const auto oldLines = LinesOf(source);
  const auto newLines = LinesOf(result);
  const std::size_t paired = std::min(oldLines.size(), newLines.size());
  Expected e{{}, {}, 1};
  for (std::size_t i = 0; i < paired; ++i) {
    const std::u16string& o = oldLines[i];
    const std::u16string& w = newLines[i];
    if (o == w) continue;
    const bool bothCrLf = host::GetLineBreakKind(o) == 0 && host::GetLineBreakKind(w) == 0;
    e.removed.push_back(bothCrLf ? o.substr(0, o.size() - 2) : o);
    e.inserted.push_back(bothCrLf ? w.substr(0, w.size() - 2) : w);
    ++e.selections;
  }
  std::u16string rest;
  if (newLines.size() > oldLines.size()) {
    for (std::size_t i = paired; i < newLines.size(); ++i) rest += newLines[i];
    e.removed.push_back(u"");
    e.inserted.push_back(rest);
  } else if (oldLines.size() > newLines.size()) {
    for (std::size_t i = paired; i < oldLines.size(); ++i) rest += oldLines[i];
    e.removed.push_back(rest);
    e.inserted.push_back(u"");
    ++e.selections;
  }
  return e;
}

TEST(OnCommandProperty, DocumentBecomesPrefixPlusActionPlusSuffix) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 2000; ++round) {
    const std::u16string doc = RandomDocument(rng);
    const auto width = static_cast<std::int32_t>(1 + rng() % 10);
    const bool selected = rng() % 3 != 0 && !doc.empty();
    std::size_t anchor = RandomCaretPlace(rng, doc);
    std::size_t caret = selected ? RandomCaretPlace(rng, doc) : anchor;
    if (selected && anchor == caret) caret = anchor == 0 ? doc.size() : 0;
    const std::size_t from = selected ? std::min(anchor, caret) : 0;
    const std::size_t to = selected ? std::max(anchor, caret) : doc.size();
    const bool caretAtEnd = selected && caret > anchor;
    const TEditPoint scroll{static_cast<std::int32_t>(rng() % 5), static_cast<std::int32_t>(rng() % 50)};

    for (const CatalogueCommand& command : Catalogue()) {
      SCOPED_TRACE("round " + std::to_string(round) + ", id " + std::to_string(command.Id) + ", width " +
                   std::to_string(width) + ", " + QuoteText(doc) + ", anchor " + std::to_string(anchor) +
                   ", caret " + std::to_string(caret));
      SimulatedHost host(doc, width);
      host.editor.Select(anchor, caret);
      host.editor.SetScroll(scroll);
      const TEditPoint savedCaret = host.editor.ToLogical(caret);
      host.desktop.Menu().SetAnswer(command.Id);
      OnCommand(host.window);

      const std::u16string source = doc.substr(from, to - from);
      const std::u16string result = command.Run(source);
      ASSERT_EQ(host.editor.Text(), doc.substr(0, from) + result + doc.substr(to));
      EXPECT_TRUE(host::SamePoint(host.editor.Scroll(), scroll));
      EXPECT_TRUE(host.desktop.MessageBox().Shown().empty());
      // A selection end that falls between a CR and an LF (a lone CR meeting
      // an LF across the edit) has no line and column: the host cannot be
      // told it.
      const std::u16string after = host.editor.Text();
      const auto insideBreak = [&](std::size_t o) {
        return o > 0 && o < after.size() && after[o - 1] == u'\r' && after[o] == u'\n';
      };
      if (selected && !insideBreak(from) && !insideBreak(from + result.size())) {
        EXPECT_EQ(host.editor.SelectionStart(), from);
        EXPECT_EQ(host.editor.SelectionEnd(), from + result.size());
        EXPECT_EQ(host.editor.Caret(), caretAtEnd ? from + result.size() : from);
      } else if (!selected) {
        EXPECT_FALSE(host.editor.HasSelection());
        EXPECT_EQ(host.editor.Caret(), host.editor.FromLogical(savedCaret));
      }

      const Expected touched = Touched(source, result);
      std::vector<std::u16string> removed;
      std::vector<std::u16string> inserted;
      for (const auto& m : OfKind(host.editor.Log(), host::HM_INSERT_TEXT)) {
        removed.push_back(m.removed);
        inserted.push_back(m.text);
      }
      EXPECT_EQ(removed, touched.removed) << "only lines that differ are selected and replaced";
      EXPECT_EQ(inserted, touched.inserted);
      EXPECT_EQ(host.editor.Received(host::HM_SELECT_CHARS), touched.selections);
    }
  }
}

}  // namespace
}  // namespace kelvorat::test
