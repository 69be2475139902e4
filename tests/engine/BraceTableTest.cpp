// The opener search: which entry's opener comes first from a position on,
// and where; the length of an opener found; the identifier characters that
// decide whether a word opener stands alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/BraceTable.h"
#include "tests/engine/ScanChecks.h"

namespace kelvorat {
namespace {

using testing::Show;

struct FindCase {
  const char* name;
  std::vector<BraceRow> rows;
  WideView text;
  std::int32_t startPos;
  std::int32_t wantPos;    // 0: no opener is found
  std::size_t wantEntry;   // the row that wins, when one does
};

const BraceRow kDirective = Protected(u"{$", u"}");
const BraceRow kBrace = Comment(u"{", u"}");
const BraceRow kBlock = Comment(u"/*", u"*/");
const BraceRow kQuote = Protected(u"\"", u"\"");
const BraceRow kEscape = Protected(u"\\\"");
const BraceRow kTextRem = LineComment(u"rem");
const BraceRow kWordRem = WordLineComment(u"rem");

const FindCase kFindCases[] = {
    {"empty table", {}, u"/* x */", 1, 0, 0},
    {"empty text", {kEscape, kQuote, kBlock}, u"", 1, 0, 0},
    {"start 0", {kBlock}, u"/* x */", 0, 0, 0},
    {"start below 0", {kBlock}, u"/* x */", -3, 0, 0},
    {"start at length + 1", {kBlock}, u"/* x */", 8, 0, 0},
    {"start far past the end", {kBlock}, u"/* x */", kThroughEnd, 0, 0},
    {"opener at the start position", {kBlock}, u"ab/*cd", 3, 3, 0},
    {"opener before the start position is not seen", {kBlock}, u"/*ab/*", 2, 5, 0},
    {"opener that would run past the end", {kBlock}, u"ab/", 1, 0, 0},
    {"opener on the last code units", {kBlock}, u"ab/*", 3, 3, 0},
    // "{$" and "{" both stand at 3: the earlier row wins the tie.
    {"directive row ahead of brace row", {kDirective, kBrace}, u"x {$R+} y", 1, 3, 0},
    {"brace row ahead of directive row", {kBrace, kDirective}, u"x {$R+} y", 1, 3, 0},
    // The escape's opener starts at 2, the double quote's at 3.
    {"position beats table order", {kQuote, kEscape}, u"a\\\"b", 1, 2, 1},
    {"later rows are searched too", {kBlock, kQuote}, u"x \"/*\"", 1, 3, 1},
    {"openers ignore letter case", {Comment(u"ab", u"c")}, u"xxAB", 1, 3, 0},
    {"letter case beyond ASCII", {Comment(u"\u00E9t\u00E9", u"x")}, u"un \u00C9T\u00C9", 1, 4, 0},
    // A text opener counts wherever it stands, inside a word too.
    {"text opener inside a word", {kTextRem}, u"x = Premium", 1, 6, 0},
    // A word opener counts only where no identifier character touches it.
    {"word opener inside a word", {kWordRem}, u"x = Premium", 1, 0, 0},
    {"word opener, upper case", {kWordRem}, u"REM x", 1, 1, 0},
    {"word opener, mixed case", {kWordRem}, u"Rem x", 1, 1, 0},
    {"word opener alone", {kWordRem}, u"rem", 1, 1, 0},
    {"word opener at the end", {kWordRem}, u"x = 1 rem", 1, 7, 0},
    {"word opener after a word that holds it", {kWordRem}, u"premium rem x", 1, 9, 0},
    {"word opener after a dot", {kWordRem}, u"x.Remove 1", 1, 0, 0},
    {"word opener after punctuation", {kWordRem}, u"x:rem y", 1, 3, 0},
    {"word opener before an ideographic space", {kWordRem}, u"REM\u3000\u65E5\u672C", 1, 1, 0},
    {"word opener before a no-break space", {kWordRem}, u"REM\u00A0x", 1, 1, 0},
    {"word opener before an underscore", {kWordRem}, u"rem_x", 1, 0, 0},
    {"word opener after an underscore", {kWordRem}, u"x_rem", 1, 0, 0},
    {"word opener before a digit", {kWordRem}, u"rem1", 1, 0, 0},
    {"word opener after a digit", {kWordRem}, u"1rem", 1, 0, 0},
    {"word opener after a letter beyond ASCII", {kWordRem}, u"\u00E9rem x", 1, 0, 0},
    {"word opener before a letter beyond ASCII", {kWordRem}, u"rem\u00E9", 1, 0, 0},
    {"word opener after a surrogate pair", {kWordRem}, u"\U0001F600rem", 1, 0, 0},
    // The code unit before the start position still decides.
    {"word opener from inside a word", {kWordRem}, u"xrem", 2, 0, 0},
    {"line break: CR LF", {LineBreakRow()}, u"ab\r\ncd", 1, 3, 0},
    {"line break: lone LF", {LineBreakRow()}, u"ab\ncd", 1, 3, 0},
    {"line break: lone CR", {LineBreakRow()}, u"ab\rcd", 1, 3, 0},
    {"line break: LF before CR", {LineBreakRow()}, u"a\n\r", 1, 2, 0},
    {"line break: none", {LineBreakRow()}, u"abcd", 1, 0, 0},
    {"line break before a later opener", {LineComment(u"//"), LineBreakRow()}, u"a\n//", 1, 2, 1},
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindFirstBraceCases : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindFirstBraceCases, FindsTheEarliestOpener) {
  const FindCase& c = GetParam();
  const TBraceTable table = MakeBraceTable(c.rows);
  std::int32_t foundPos = -1;
  TBraceInfo found;
  const bool ok = FindFirstBrace(c.text, c.startPos, table, foundPos, found);
  SCOPED_TRACE(Show(c.text));
  if (c.wantPos == 0) {
    EXPECT_FALSE(ok);
    EXPECT_EQ(foundPos, kThroughEnd);
    return;
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(foundPos, c.wantPos);
  const TBraceInfo& want = table.at(c.wantEntry);
  EXPECT_EQ(Show(found.StartBrace), Show(want.StartBrace));
  EXPECT_EQ(Show(found.EndBrace), Show(want.EndBrace));
  EXPECT_EQ(found.IsComment, want.IsComment);
  EXPECT_EQ(found.Opener, want.Opener);
  EXPECT_EQ(found.Closer, want.Closer);
}

std::string CaseName(const ::testing::TestParamInfo<FindCase>& param) {
  std::string name;
  for (const char* p = param.param.name; *p != 0; ++p) {
    const char ch = *p;
    const bool alnum = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
    name += alnum ? ch : '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, FindFirstBraceCases, ::testing::ValuesIn(kFindCases), CaseName);

TEST(OpenerLength, IsTheLengthOfTheOpenerThatStandsThere) {
  struct Case {
    BraceRow row;
    WideView text;
    std::int32_t position;
    std::int32_t want;
  };
  const Case cases[] = {
      {LineBreakRow(), u"a\r\nb", 2, 2},
      {LineBreakRow(), u"a\rb", 2, 1},
      {LineBreakRow(), u"a\nb", 2, 1},
      {LineBreakRow(), u"a\r", 2, 1},
      {LineBreakRow(), u"\r\r\n", 1, 1},
      {LineBreakRow(), u"\n\r\n", 2, 2},
      {Comment(u"/*", u"*/"), u"/* */", 1, 2},
      {Comment(u"<!--", u"-->"), u"x<!--", 2, 4},
      {WordLineComment(u"rem"), u"REM", 1, 3},
  };
  for (const Case& c : cases) {
    const TBraceTable table = MakeBraceTable(std::span(&c.row, 1));
    EXPECT_EQ(OpenerLength(table[0], c.text, c.position), c.want)
        << Show(c.text) << " at " << c.position;
  }
}

TEST(IsIdentifierUnit, AsciiWordCharactersAndAllButTwoUnitsBeyondAscii) {
  struct Case {
    char16_t unit;
    bool want;
  };
  const Case cases[] = {
      {u'a', true},    {u'z', true},    {u'A', true},    {u'Z', true},     {u'0', true},
      {u'9', true},    {u'_', true},    {u'@', false},   {u'[', false},    {u'`', false},
      {u'{', false},   {u'/', false},   {u':', false},   {u' ', false},    {u'.', false},
      {u'\t', false},  {u'\r', false},  {u'\n', false},  {0x0000, false},  {0x007F, false},
      {0x0080, true},  {0x009F, true},  {0x00A0, false}, {0x00A1, true},   {0x00E9, true},
      {0x2FFF, true},  {0x3000, false}, {0x3001, true},  {0xD83D, true},   {0xDE00, true},
      {0xFEFF, true},  {0xFFFF, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsIdentifierUnit(c.unit), c.want) << "U+" << std::hex << static_cast<unsigned>(c.unit);
  }
}

}  // namespace
}  // namespace kelvorat
