// TRecordList / TCommonStringRecordList: the items a text is split into, the
// copies going in and out, the list error, and failures in the middle of a split.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "FailingAllocator.h"
#include "library/WideStringRecordList.h"

namespace kelvorat {
namespace {

const std::string kListErrorText = "Listエラー (TemplateList\\ListClone, 127 行)";

using Items = std::vector<WideText>;

Items ItemsOf(const TRecordList& list) {
  Items items;
  for (std::int32_t i = 0; i < list.Count(); ++i) items.push_back(list.GetItem(i));
  return items;
}

// The two ways to cut a text into lines: SplitLines, and Split with the
// line-break separators.
enum class Splitter { Lines, SplitWithLineBreaks };

std::string NameOf(Splitter s) {
  return s == Splitter::Lines ? "SplitLines" : "Split(Text, LineBreaks())";
}

void CutIntoLines(Splitter s, TRecordList& list, WideView text) {
  if (s == Splitter::Lines) {
    list.SplitLines(text);
  } else {
    list.Split(text, LineBreaks());
  }
}

constexpr Splitter kSplitters[] = {Splitter::Lines, Splitter::SplitWithLineBreaks};

// ---------------------------------------------------------------- lines

struct LinesCase {
  const char* name;
  WideText text;
  Items items;
};

const LinesCase kLinesCases[] = {
    {"empty", u"", {}},
    {"no break", u"ab", {u"ab"}},
    {"CR LF inside", u"ab\r\ncd", {u"ab\r\n", u"cd"}},
    {"CR LF at the end", u"ab\r\n", {u"ab\r\n"}},
    {"CR LF at the start", u"\r\nab", {u"\r\n", u"ab"}},
    {"two CR LF", u"\r\n\r\n", {u"\r\n", u"\r\n"}},
    {"LF CR is two breaks", u"a\n\rb", {u"a\n", u"\r", u"b"}},
    {"CR CR LF", u"a\r\r\nb", {u"a\r", u"\r\n", u"b"}},
    {"CR at the end", u"a\r", {u"a\r"}},
    {"CR alone", u"\r", {u"\r"}},
    {"LF alone", u"\n", {u"\n"}},
    {"CR CR", u"\r\r", {u"\r", u"\r"}},
    {"LF LF", u"\n\n", {u"\n", u"\n"}},
    {"LF CR LF", u"\n\r\n", {u"\n", u"\r\n"}},
    {"CR inside", u"ab\rcd", {u"ab\r", u"cd"}},
    {"LF inside", u"ab\ncd", {u"ab\n", u"cd"}},
    {"NUL units are text", WideText(u"a\0b\r\0", 5), {WideText(u"a\0b\r", 4), WideText(u"\0", 1)}},
    {"other control units are text", u"a\v\fb\u2028c\u0085d", {u"a\v\fb\u2028c\u0085d"}},
};

TEST(RecordListSplitLines, WorkedResults) {
  for (const Splitter splitter : kSplitters) {
    for (const LinesCase& c : kLinesCases) {
      SCOPED_TRACE(NameOf(splitter) + ", " + c.name);
      TCommonStringRecordList list;
      CutIntoLines(splitter, list, c.text);
      EXPECT_EQ(ItemsOf(list), c.items);
    }
  }
}

// A second split replaces the items of the first.
TEST(RecordListSplitLines, SplittingAgainReplacesTheItems) {
  for (const Splitter splitter : kSplitters) {
    SCOPED_TRACE(NameOf(splitter));
    TCommonStringRecordList list;
    list.Add(u"added before");
    CutIntoLines(splitter, list, u"one\r\ntwo\nthree\r");
    EXPECT_EQ(ItemsOf(list), (Items{u"one\r\n", u"two\n", u"three\r"}));
    CutIntoLines(splitter, list, u"four");
    EXPECT_EQ(ItemsOf(list), (Items{u"four"}));
    CutIntoLines(splitter, list, u"");
    EXPECT_EQ(list.Count(), 0);
  }
}

// What the write-back relies on, checked on every text over {a, CR, LF} of a
// random sample: the items join back to the text, none is empty, every item
// but the last ends with exactly one break and holds no other CR or LF, a CR
// that ends an item is not followed by LF, and the last item ends with a break
// exactly when the text does. Split with the line breaks gives the same items.
std::string LineRuleBroken(const WideText& text, const Items& items) {
  auto isBreak = [](char16_t u) { return u == u'\r' || u == u'\n'; };
  WideText joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const WideText& item = items[i];
    joined += item;
    if (item.empty()) return "item " + std::to_string(i) + " is empty";
    const bool last = i + 1 == items.size();
    std::size_t breakLength = 0;
    if (item.size() >= 2 && item.compare(item.size() - 2, 2, u"\r\n") == 0) {
      breakLength = 2;
    } else if (isBreak(item.back())) {
      breakLength = 1;
    }
    if (breakLength == 0 && !last) return "item " + std::to_string(i) + " does not end with a break";
    for (std::size_t k = 0; k + breakLength < item.size(); ++k) {
      if (isBreak(item[k])) return "item " + std::to_string(i) + " holds a break before its end";
    }
    if (breakLength == 1 && item.back() == u'\r' && !last && items[i + 1].front() == u'\n') {
      return "item " + std::to_string(i) + " ends with the CR of a CR LF";
    }
  }
  if (joined != text) return "the items do not join back to the text";
  const bool textEndsWithBreak = !text.empty() && isBreak(text.back());
  const bool lastEndsWithBreak = !items.empty() && isBreak(items.back().back());
  if (textEndsWithBreak != lastEndsWithBreak) return "the last item and the text disagree on the final break";
  return "";
}

TEST(RecordListSplitLines, RandomTextsKeepTheLineRules) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> length(0, 24);
  const char16_t alphabet[] = {u'a', u'\r', u'\n'};
  for (int round = 0; round < 5000; ++round) {
    WideText text;
    for (int n = length(random); n > 0; --n) text += alphabet[random() % 3];
    TCommonStringRecordList lines;
    lines.SplitLines(text);
    TCommonStringRecordList pieces;
    pieces.Split(text, LineBreaks());
    const Items items = ItemsOf(lines);
    const std::string broken = LineRuleBroken(text, items);
    ASSERT_EQ(broken, "") << "text " << testing::PrintToString(text);
    ASSERT_EQ(items, ItemsOf(pieces)) << "text " << testing::PrintToString(text);
  }
}

// ---------------------------------------------------------------- Split

struct SplitCase {
  const char* name;
  WideText text;
  Items separators;
  Items items;
};

const SplitCase kSplitCases[] = {
    {"no separators", u"a\r\nb", {}, {u"a\r\nb"}},
    {"no separators, empty text", u"", {}, {}},
    {"empty separator never matches", u"a,b", {u""}, {u"a,b"}},
    {"empty separator before a real one", u"a,b,", {u"", u","}, {u"a,", u"b,"}},
    {"CR before CR LF", u"a\r\nb", {u"\r", u"\r\n"}, {u"a\r", u"\nb"}},
    {"CR LF before CR", u"a\r\nb", {u"\r\n", u"\r"}, {u"a\r\n", u"b"}},
    {"shorter separator first wins", u"x--y", {u"-", u"--"}, {u"x-", u"-", u"y"}},
    {"longer separator first wins", u"x--y", {u"--", u"-"}, {u"x--", u"y"}},
    {"separators do not overlap", u"aaa", {u"aa"}, {u"aa", u"a"}},
    {"separator at the start", u",a", {u","}, {u",", u"a"}},
    {"separators back to back", u"a,,b", {u","}, {u"a,", u",", u"b"}},
    {"text is one separator", u"::", {u"::"}, {u"::"}},
    {"separator longer than the rest", u"ab", {u"bc"}, {u"ab"}},
    {"letter case respected", u"aXbxc", {u"x"}, {u"aXbx", u"c"}},
    {"case respected beyond ASCII", u"a\u03A3b\u03C3c", {u"\u03C3"}, {u"a\u03A3b\u03C3", u"c"}},
};

TEST(RecordListSplit, WorkedResults) {
  for (const SplitCase& c : kSplitCases) {
    SCOPED_TRACE(c.name);
    TCommonStringRecordList list;
    list.Split(c.text, c.separators);
    EXPECT_EQ(ItemsOf(list), c.items);
  }
}

// With any separators over {a, b}, empty ones included, the pieces join back
// to the text and none is empty.
TEST(RecordListSplit, RandomSeparatorsKeepEveryUnitOnce) {
  std::mt19937 random(99);
  auto randomText = [&random](int maxLength) {
    WideText text;
    for (int n = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1)); n > 0; --n) {
      text += random() % 2 == 0 ? u'a' : u'b';
    }
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    Items separators;
    for (int n = static_cast<int>(random() % 4); n > 0; --n) separators.push_back(randomText(3));
    const WideText text = randomText(16);
    TCommonStringRecordList list;
    list.Split(text, separators);
    WideText joined;
    for (const WideText& item : ItemsOf(list)) {
      ASSERT_FALSE(item.empty()) << "text " << testing::PrintToString(text);
      joined += item;
    }
    ASSERT_EQ(joined, text);
  }
}

// ---------------------------------------------------------------- items in and out

TEST(RecordListItems, AddAnswersIndexesInOrder) {
  TCommonStringRecordList list;
  for (std::int32_t i = 0; i < 20; ++i) EXPECT_EQ(list.Add(WideText(1, static_cast<char16_t>(u'a' + i))), i);
  EXPECT_EQ(list.Count(), 20);
  EXPECT_EQ(list.GetItem(19), u"t");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Add(u"again"), 0);
  EXPECT_EQ(ItemsOf(list), (Items{u"again"}));
}

// Add stores a copy: the caller's text may change or go away afterwards.
TEST(RecordListItems, AddCopiesTheText) {
  TCommonStringRecordList list;
  {
    WideText text = u"a text long enough to live on the heap";
    list.Add(text);
    text.assign(text.size(), u'#');
    list.Add(text);
  }
  EXPECT_EQ(ItemsOf(list), (Items{u"a text long enough to live on the heap", WideText(38, u'#')}));
}

// GetItem hands out a copy: changing it does not change the item.
TEST(RecordListItems, GetItemReturnsACopy) {
  TCommonStringRecordList list;
  list.SplitLines(u"first line\r\nsecond");
  WideText item = list.GetItem(0);
  item[0] = u'F';
  item += u"more";
  EXPECT_EQ(list.GetItem(0), u"first line\r\n");
  WideText other = list.GetItem(1);
  other.clear();
  EXPECT_EQ(list.GetItem(1), u"second");
}

// An index outside 0 to Count - 1 raises the list error and changes nothing.
TEST(RecordListItems, GetItemOutsideTheItemsRaisesTheListError) {
  struct Case {
    const char* name;
    WideText text;
    std::int32_t index;
  };
  const Case cases[] = {
      {"index Count", u"a\nb\n", 2}, {"index -1", u"a\nb\n", -1}, {"index 0 of an empty list", u"", 0},
      {"far beyond", u"a\nb\n", 1000}, {"index Count after a break at the end", u"a\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCommonStringRecordList list;
    list.SplitLines(c.text);
    const Items before = ItemsOf(list);
    std::string what = "(no list error)";
    try {
      list.GetItem(c.index);
    } catch (const TListError& error) {
      what = error.what();
    }
    EXPECT_EQ(what, kListErrorText);
    EXPECT_EQ(ItemsOf(list), before);
  }
}

// ---------------------------------------------------------------- out of memory

// When an allocation fails in the middle of a split, the failure reaches the
// caller, the items added so far stay (each one whole), and nothing leaks,
// whichever allocation it is.
TEST(RecordListOutOfMemory, FailedSplitKeepsTheItemsSoFarAndLeaksNothing) {
  const WideText text =
      u"first line, long enough for the heap\r\nsecond line, long enough as well\rx\n"
      u"y\r\nfifth line without a break at its end";
  const Items expected = {u"first line, long enough for the heap\r\n", u"second line, long enough as well\r",
                          u"x\n", u"y\r\n", u"fifth line without a break at its end"};
  LineBreaks();  // built once on first use and kept: not a block of the split's own
  for (const Splitter splitter : kSplitters) {
    bool triggered = true;
    for (long nth = 1; triggered && nth < 1000; ++nth) {
      SCOPED_TRACE(NameOf(splitter) + ", allocation " + std::to_string(nth) + " fails");
      const std::size_t liveBefore = test::LiveBlocks();
      bool failed = false;
      std::size_t count = 0;
      bool prefixKept = true;
      {
        TCommonStringRecordList list;
        {
          const test::AllocationFailure failure(nth);
          try {
            CutIntoLines(splitter, list, text);
          } catch (const std::bad_alloc&) {
            failed = true;
          }
          triggered = failure.Triggered();
        }
        count = static_cast<std::size_t>(list.Count());
        for (std::size_t i = 0; i < count && prefixKept; ++i) {
          prefixKept = i < expected.size() && list.ItemView(static_cast<std::int32_t>(i)) == expected[i];
        }
      }
      const std::size_t liveAfter = test::LiveBlocks();
      EXPECT_EQ(failed, triggered);
      EXPECT_TRUE(prefixKept);
      EXPECT_EQ(count == expected.size(), !failed) << count << " items";
      EXPECT_EQ(liveAfter, liveBefore);
    }
    EXPECT_FALSE(triggered) << "the split should succeed once no allocation fails";
  }
}

}  // namespace
}  // namespace kelvorat
