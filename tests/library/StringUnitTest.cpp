// Search and copy primitives: what they answer on small texts, and which
// platform comparisons they make to get there.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "CompareHook.h"
#include "library/StringUnit.h"

namespace kelvorat {
namespace {

using test::CompareCall;
using test::RecordingComparison;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// What the platform comparison answers; 0 is a failed call.
constexpr int kFailed = 0;
constexpr int kLess = 1;
constexpr int kEqual = 2;
constexpr int kGreater = 3;

// ---------------------------------------------------------------- CompareSubStr

struct CompareSubStrCase {
  const char* name;
  WideText s1;
  WideText s2;
  std::int32_t index1;
  std::int32_t index2;
  std::int32_t count;
  bool ignoreCase;
};

const CompareSubStrCase kCompareSubStrCases[] = {
    {"same offsets", u"abcdef", u"xxcdyy", 3, 3, 2, false},
    {"whole texts ignoring case", u"abc", u"ABC", 1, 1, 3, true},
    {"middle of the first against all of the second", u"hello world", u"o w", 5, 1, 3, true},
    {"last unit of the second", u"a", u"zzzzza", 1, 6, 1, false},
    {"last units of the first", u"0123456789", u"89", 9, 1, 2, true},
};

// One call with the user's default locale (0x400), flag 1 exactly when letter
// case is ignored, the addresses of the two stretches and Count for both
// lengths; only the answer "equal" (2) makes the stretches equal, a failed
// call (0) included among the differences.
TEST(CompareSubStr, MakesOnePlatformCallAndTrustsOnlyItsEqualAnswer) {
  for (const CompareSubStrCase& c : kCompareSubStrCases) {
    for (const int answer : {kFailed, kLess, kEqual, kGreater}) {
      SCOPED_TRACE(std::string(c.name) + ", platform answers " + std::to_string(answer));
      RecordingComparison comparison(answer);
      const bool equal = CompareSubStr(c.s1, c.s2, c.index1, c.index2, c.count, c.ignoreCase);
      EXPECT_EQ(equal, answer == kEqual);
      ASSERT_EQ(comparison.calls.size(), 1u);
      const CompareCall& call = comparison.calls[0];
      EXPECT_EQ(call.locale, 0x400u);
      EXPECT_EQ(call.flags, c.ignoreCase ? 1u : 0u);
      EXPECT_EQ(call.first, c.s1.data() + (c.index1 - 1));
      EXPECT_EQ(call.firstCount, c.count);
      EXPECT_EQ(call.second, c.s2.data() + (c.index2 - 1));
      EXPECT_EQ(call.secondCount, c.count);
    }
  }
}

// With the platform's own comparison: equal stretches, and stretches that
// differ in their last unit only.
TEST(CompareSubStr, ComparesExactlyTheCountedUnits) {
  const WideText s1 = u"xxabcQ";
  const WideText s2 = u"abcR";
  EXPECT_TRUE(CompareSubStr(s1, s2, 3, 1, 3, false));
  EXPECT_FALSE(CompareSubStr(s1, s2, 3, 1, 4, false));  // Q against R
  EXPECT_TRUE(CompareSubStr(s1, s2, 5, 3, 1, false));   // c against c
  EXPECT_FALSE(CompareSubStr(s1, s2, 4, 1, 3, false));  // bcQ against abc
}

// ---------------------------------------------------------------- MatchAt

struct MatchAtCase {
  const char* name;
  WideText pattern;
  WideText text;
  std::int32_t position;
  bool expected;
};

const MatchAtCase kMatchAtCases[] = {
    {"pattern at its place", u"ab", u"xab", 2, true},
    {"pattern would pass the end", u"ab", u"xab", 3, false},
    {"position 0", u"ab", u"xab", 0, false},
    {"negative position", u"ab", u"xab", -1, false},
    {"smallest position", u"ab", u"xab", kInt32Min, false},
    {"largest position", u"ab", u"xab", kInt32Max, false},
    {"other text at the position", u"ab", u"xab", 1, false},
    {"position after the end", u"b", u"ab", 3, false},
    {"whole text", u"xab", u"xab", 1, true},
    {"last unit", u"b", u"xab", 3, true},
    {"pattern longer than text", u"xabc", u"xab", 1, false},
    {"letter case respected", u"AB", u"xab", 2, false},
    {"empty pattern", u"", u"xab", 1, false},
    {"empty pattern after the end", u"", u"xab", 4, false},
    {"empty text", u"ab", u"", 1, false},
    {"both empty", u"", u"", 1, false},
    {"NUL units compare as units", WideText(u"a\0b", 3), WideText(u"xa\0b", 4), 2, true},
};

TEST(MatchAt, WorkedExamples) {
  for (const MatchAtCase& c : kMatchAtCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MatchAt(c.pattern, c.text, c.position), c.expected);
  }
}

// The guards decide without the platform: with a comparison that calls every
// pair equal, MatchAt is true exactly where the pattern fits in the text, and
// then it compares Pattern from 1 with Text from Position, letter case respected.
TEST(MatchAt, ComparesOnlyWhereThePatternFits) {
  struct Case {
    WideText pattern;
    WideText text;
    std::int32_t position;
    bool fits;
  };
  const Case cases[] = {
      {u"ab", u"xyz", 1, true},   {u"ab", u"xyz", 2, true},    {u"ab", u"xyz", 3, false},
      {u"ab", u"xyz", 0, false},  {u"ab", u"xyz", -7, false},  {u"xyzw", u"xyz", 1, false},
      {u"", u"xyz", 1, false},    {u"a", u"", 1, false},       {u"a", u"xyz", 4, false},
      {u"a", u"xyz", 3, true},    {u"abc", u"xyz", 1, true},   {u"a", u"xyz", kInt32Max, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pattern length " << c.pattern.size() << ", text length "
                                    << c.text.size() << ", position " << c.position);
    RecordingComparison comparison(kEqual);
    EXPECT_EQ(MatchAt(c.pattern, c.text, c.position), c.fits);
    if (!c.fits) {
      EXPECT_TRUE(comparison.calls.empty());
      continue;
    }
    ASSERT_EQ(comparison.calls.size(), 1u);
    const CompareCall& call = comparison.calls[0];
    EXPECT_EQ(call.flags, 0u);
    EXPECT_EQ(call.first, c.pattern.data());
    EXPECT_EQ(call.second, c.text.data() + (c.position - 1));
    EXPECT_EQ(call.firstCount, static_cast<int>(c.pattern.size()));
    EXPECT_EQ(call.secondCount, static_cast<int>(c.pattern.size()));
  }
}

// ---------------------------------------------------------------- PosFrom

struct PosFromCase {
  const char* name;
  WideText pattern;
  WideText text;
  std::int32_t start;
  std::int32_t count;
  bool ignoreCase;
  std::int32_t expected;
};

const PosFromCase kPosFromCases[] = {
    {"window ends inside the occurrence", u"ab", u"xxab", 1, 3, false, 0},
    {"window holds the occurrence", u"ab", u"xxab", 1, 4, false, 3},
    {"window is exactly the occurrence", u"ab", u"xxab", 3, 2, false, 3},
    {"window ends with the occurrence", u"ab", u"xxab", 2, 3, false, 3},
    {"count below the pattern length at Start", u"ab", u"abab", 1, 1, false, 0},
    {"count 0", u"a", u"abc", 1, 0, false, 0},
    {"negative count", u"a", u"abc", 1, -1, false, 0},
    {"smallest count", u"a", u"abc", 1, kInt32Min, false, 0},
    {"largest count from Start 1", u"b", u"abcb", 1, kInt32Max, false, 2},
    {"largest count from Start 3 does not overflow", u"b", u"abcb", 3, kInt32Max, false, 4},
    {"largest count from the last position", u"b", u"abcb", 4, kInt32Max, false, 4},
    {"count one below the largest from Start 3", u"b", u"abcb", 3, kInt32Max - 1, false, 4},
    {"Start after the end", u"b", u"abcb", 5, kInt32Max, false, 0},
    {"largest Start", u"b", u"abcb", kInt32Max, kInt32Max, false, 0},
    {"Start 0", u"a", u"abc", 0, kInt32Max, false, 0},
    {"negative Start", u"a", u"abc", -3, kInt32Max, false, 0},
    {"smallest Start", u"a", u"abc", kInt32Min, kInt32Max, false, 0},
    {"occurrence before Start is skipped", u"ab", u"abxab", 2, kInt32Max, false, 4},
    {"first of several occurrences", u"a", u"baaa", 1, kInt32Max, false, 2},
    {"overlapping occurrences", u"aa", u"xaaa", 1, kInt32Max, false, 2},
    {"pattern longer than text", u"abcd", u"abc", 1, kInt32Max, false, 0},
    {"pattern would pass the end", u"cd", u"abc", 3, kInt32Max, false, 0},
    {"empty pattern", u"", u"abc", 1, kInt32Max, false, 0},
    {"empty text", u"a", u"", 1, kInt32Max, false, 0},
    {"letter case ignored", u"REM", u"x rem", 1, kInt32Max, true, 3},
    {"letter case respected", u"REM", u"x rem", 1, kInt32Max, false, 0},
    {"exact case found either way", u"rem", u"x rem", 1, kInt32Max, false, 3},
    {"case ignored beyond ASCII", u"\u00C4\u0416", u"xx\u00E4\u0436", 1, kInt32Max, true, 3},
    {"case respected beyond ASCII", u"\u00C4\u0416", u"xx\u00E4\u0436", 1, kInt32Max, false, 0},
};

TEST(PosFrom, WorkedExamples) {
  for (const PosFromCase& c : kPosFromCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PosFrom(c.pattern, c.text, c.start, c.count, c.ignoreCase), c.expected);
  }
}

// The candidates are tried from Start upward, one comparison each, up to the
// last position at which the pattern lies wholly inside the window and the
// text: Text at the candidate against Pattern from 1, with the IgnoreCase flag.
TEST(PosFrom, TriesEveryCandidateOfTheWindowInOrder) {
  const WideText text = u"abcdefghij";  // 10 units
  const WideText pattern = u"xy";       // 2 units
  struct Case {
    std::int32_t start;
    std::int32_t count;
    std::int32_t firstCandidate;  // 0: no comparison at all
    std::int32_t lastCandidate;
  };
  const Case cases[] = {
      {1, kInt32Max, 1, 9},      {2, kInt32Max, 2, 9},  {9, kInt32Max, 9, 9},
      {10, kInt32Max, 0, 0},     {11, kInt32Max, 0, 0}, {3, 5, 3, 6},
      {3, 2, 3, 3},              {3, 1, 0, 0},          {1, 10, 1, 9},
      {1, 11, 1, 9},             {5, kInt32Max - 1, 5, 9}, {kInt32Max, kInt32Max, 0, 0},
      {2, kInt32Max - 2, 2, 9},  {0, kInt32Max, 0, 0},
  };
  for (const bool ignoreCase : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "Start " << c.start << ", Count " << c.count
                                      << ", IgnoreCase " << ignoreCase);
      RecordingComparison comparison(kLess);
      EXPECT_EQ(PosFrom(pattern, text, c.start, c.count, ignoreCase), 0);
      std::vector<std::int32_t> tried;
      for (const CompareCall& call : comparison.calls) {
        tried.push_back(static_cast<std::int32_t>(call.first - text.data()) + 1);
        EXPECT_EQ(call.second, pattern.data());
        EXPECT_EQ(call.firstCount, 2);
        EXPECT_EQ(call.secondCount, 2);
        EXPECT_EQ(call.flags, ignoreCase ? 1u : 0u);
        EXPECT_EQ(call.locale, 0x400u);
      }
      std::vector<std::int32_t> expected;
      for (std::int32_t p = c.firstCandidate; c.firstCandidate != 0 && p <= c.lastCandidate; ++p) {
        expected.push_back(p);
      }
      EXPECT_EQ(tried, expected);
    }
  }
}

// The answer is the first candidate the platform calls equal; candidates after
// it are not tried, and a failed call (0) moves on to the next candidate.
TEST(PosFrom, AnswersTheFirstCandidateThePlatformCallsEqual) {
  const WideText text = u"abcdefghij";
  const WideText pattern = u"q";
  for (const std::int32_t equalAt : {1, 4, 10}) {
    SCOPED_TRACE(testing::Message() << "platform calls position " << equalAt << " equal");
    std::vector<std::int32_t> tried;
    test::ScopedCompareHook hook([&](std::uint32_t, std::uint32_t, const char16_t* first, int,
                                     const char16_t*, int) {
      const auto position = static_cast<std::int32_t>(first - text.data()) + 1;
      tried.push_back(position);
      return position == equalAt ? kEqual : kFailed;
    });
    EXPECT_EQ(PosFrom(pattern, text, 1, kInt32Max, true), equalAt);
    EXPECT_EQ(tried.size(), static_cast<std::size_t>(equalAt));
  }
}

// ---------------------------------------------------------------- CopyFromTo

struct CopyFromToCase {
  const char* name;
  WideText s;
  std::int32_t from;
  std::int32_t to;
  WideText expected;
};

const CopyFromToCase kCopyFromToCases[] = {
    {"From 0 counts as 1", u"abcdef", 0, 2, u"ab"},
    {"To beyond the end is cut", u"abc", 2, 10, u"bc"},
    {"To before From", u"abc", 3, 2, u""},
    {"From beyond the end", u"abc", 5, 9, u""},
    {"From just after the end", u"abc", 4, 4, u""},
    {"whole text", u"abc", 1, 3, u"abc"},
    {"one unit", u"abc", 2, 2, u"b"},
    {"last unit", u"abc", 3, 3, u"c"},
    {"negative From", u"abc", -5, 1, u"a"},
    {"extreme bounds", u"abc", kInt32Min, kInt32Max, u"abc"},
    {"largest From", u"abc", kInt32Max, kInt32Max, u""},
    {"negative To", u"abc", 1, -1, u""},
    {"To 0", u"abc", 0, 0, u""},
    {"empty text", u"", 1, 1, u""},
    {"empty text, extreme bounds", u"", kInt32Min, kInt32Max, u""},
    {"NUL units are copied", WideText(u"a\0b\0", 4), 2, 4, WideText(u"\0b\0", 3)},
};

TEST(CopyFromTo, WorkedExamples) {
  for (const CopyFromToCase& c : kCopyFromToCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CopyFromTo(c.s, c.from, c.to), c.expected);
  }
}

// The result is a text of its own: it outlives its source.
TEST(CopyFromTo, ResultOutlivesTheSource) {
  WideText result;
  {
    WideText source(40, u'q');
    source[10] = u'Z';
    result = CopyFromTo(source, 10, 12);
    source.assign(40, u'-');
  }
  EXPECT_EQ(result, u"qZq");
}

}  // namespace
}  // namespace kelvorat
