// The deletion and extraction scans on worked examples, with the C++/C#/Java
// tables unless a case brings its own. Every case runs through the fast scan
// and the step-by-step scan, which must both give the expected text.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/CommentScan.h"
#include "engine/Languages.h"
#include "engine/PlainScan.h"
#include "tests/engine/ScanChecks.h"

namespace kelvorat {
namespace {

using testing::Show;

struct CopyCase {
  WideView source;
  std::int32_t from, to, outPos, srcPos;
  WideView wantDest;
  std::int32_t wantOutPos, wantSrcPos;
};

TEST(CopyRange, CopiesFromSrcPosToOutPosAndAdvancesBoth) {
  const CopyCase cases[] = {
      // From and To only fix the number of code units; the copy starts at SrcPos.
      {u"abcdef", 2, 4, 1, 2, u"bcd...", 4, 5},
      {u"abcdef", 10, 11, 3, 5, u"..ef..", 5, 7},
      {u"abcdef", 1, 6, 1, 1, u"abcdef", 7, 7},
      {u"abcdef", 3, 3, 6, 6, u".....f", 7, 7},
      // To below From copies nothing and moves nothing.
      {u"abcdef", 4, 3, 2, 4, u"......", 2, 4},
      {u"abcdef", 1, -5, 1, 1, u"......", 1, 1},
      // Code units are copied as they are, surrogate halves included.
      {u"x\U0001F600y", 2, 3, 1, 2, u"\U0001F600....", 3, 4},
  };
  for (const CopyCase& c : cases) {
    WideText dest(6, u'.');
    std::int32_t outPos = c.outPos;
    std::int32_t srcPos = c.srcPos;
    CopyRange(c.from, c.to, outPos, srcPos, dest, c.source);
    SCOPED_TRACE(::testing::Message() << "From " << c.from << " To " << c.to << " OutPos " << c.outPos
                                      << " SrcPos " << c.srcPos);
    EXPECT_EQ(Show(dest), Show(c.wantDest));
    EXPECT_EQ(outPos, c.wantOutPos);
    EXPECT_EQ(srcPos, c.wantSrcPos);
  }
}

struct ScanCase {
  const char* name;
  WideView text;
  WideView want;
};

void ExpectScan(ScanKind kind, const TBraceTable& table, const ScanCase& c) {
  SCOPED_TRACE(::testing::Message() << c.name << ": " << Show(c.text));
  if (kind == ScanKind::Delete) {
    EXPECT_EQ(Show(DeleteComments(c.text, table)), Show(c.want)) << "fast scan";
    EXPECT_EQ(Show(PlainDeleteComments(c.text, table)), Show(c.want)) << "plain scan";
  } else {
    EXPECT_EQ(Show(ExtractComments(c.text, table)), Show(c.want)) << "fast scan";
    EXPECT_EQ(Show(PlainExtractComments(c.text, table)), Show(c.want)) << "plain scan";
  }
  EXPECT_EQ(testing::CheckScan(kind, c.text, table, true), "");
}

const ScanCase kDeleteCases[] = {
    {"empty text", u"", u""},
    {"no opener", u"int x = 1;\r\n", u"int x = 1;\r\n"},
    {"line comment keeps its line break", u"a = 1; // note\r\nb", u"a = 1; \r\nb"},
    {"line comment on the last line", u"a = 1; // note", u"a = 1; "},
    {"line comment, no text after the opener", u"a; //\r\nb", u"a; \r\nb"},
    {"block comment takes its line break", u"x /* one\r\ntwo */ y", u"x  y"},
    {"comment opener inside a string", u"s = \"/* no */\";", u"s = \"/* no */\";"},
    {"block comment never closed", u"a /* b", u"a "},
    {"string never closed", u"s = \"abc /* x */", u"s = \"abc /* x */"},
    {"escape outside a string opens none", u"c = '\\\"'; /* x */", u"c = '\\\"'; "},
    {"no nesting", u"/* a /* b */ c */", u" c */"},
    {"a block comment opener inside a line comment", u"// a /* b\r\nc */", u"\r\nc */"},
    {"a line comment opener inside a block comment", u"/* // */x", u"x"},
    {"closer inside the opener does not count", u"/*/ x */y", u"y"},
    {"comments side by side", u"/*a*//*b*/c", u"c"},
    // A string honours backslash escapes, so the escaped quote does not end
    // it and the comment after the string is deleted.
    {"escaped quote inside a string", u"\"a\\\"b\" /* c */", u"\"a\\\"b\" "},
    {"escaped backslash before the closing quote", u"p = \"a\\\\\"; /* c */", u"p = \"a\\\\\"; "},
    {"escaped quote then a line comment", u"s = \"say \\\"hi\\\"\";\nurl = \"http://a\";",
     u"s = \"say \\\"hi\\\"\";\nurl = \"http://a\";"},
    {"string ending in a backslash is never closed", u"s = \"abc\\", u"s = \"abc\\"},
    {"the character literal of a double quote", u"c = '\"'; /* x */", u"c = '\"'; "},
    {"a verbatim string keeps its backslashes", u"p = @\"C:\\dir\\\"; // c", u"p = @\"C:\\dir\\\"; "},
    {"a doubled quote in a verbatim string", u"s = @\"a\"\"b\"; /* c */", u"s = @\"a\"\"b\"; "},
    // A line comment ends at any line break, so with LF or lone CR line ends
    // only the comment's own line loses text.
    {"line comment before LF", u"a // x\nb", u"a \nb"},
    {"line comment before a lone CR", u"a // x\rb", u"a \rb"},
    {"line comments on LF lines", u"a; // x\nb; // y\nc;", u"a; \nb; \nc;"},
    {"non-ASCII text and surrogate pairs", u"\u65E5\u672C /* \U0001F600 */ \U0001F600\u00E9",
     u"\u65E5\u672C  \U0001F600\u00E9"},
    {"lone surrogates", u"\xD83D /* \xDE00 */ \xDE00", u"\xD83D  \xDE00"},
};

const ScanCase kExtractCases[] = {
    {"empty text", u"", u""},
    {"no comments: only the line break", u"a;\r\nb;", u"\r\n"},
    {"comment stays on its line", u"int x; // c\r\ny;\r\n", u"// c\r\n\r\n"},
    {"block comment with its line break", u"x /* one\r\ntwo */ y", u"/* one\r\ntwo */"},
    {"comment opener inside a string", u"s = \"/* no */\";", u""},
    {"block comment never closed", u"a /* b\r\nc", u"/* b\r\nc"},
    {"line comment never ended", u"a; // b", u"// b"},
    {"string never closed", u"s = \"abc\r\n/* x */", u""},
    {"escape outside a string opens none", u"c = '\\\"'; /* x */", u"/* x */"},
    {"line break inside a string is not copied", u"s = \"a\r\nb\"; // c\r\n", u"// c\r\n"},
    {"no nesting", u"/* a /* b */ c */", u"/* a /* b */"},
    {"escaped quote inside a string", u"\"a\\\"b\" /* c */", u"/* c */"},
    {"the character literal of a double quote", u"c = '\"'; /* x */", u"/* x */"},
    {"a verbatim string", u"p = @\"C:\\dir\\\"; // c", u"// c"},
    // Extraction copies every line break as it stands and a line comment ends
    // at any line break, so LF and lone CR lines come out line for line.
    {"line comment before LF", u"a // x\nb", u"// x\n"},
    {"LF lines", u"a;\nb; // c\nd;\n", u"\n// c\n\n"},
    {"lone CR copied alone", u"a;\rb; /* c */\n", u"\r/* c */\n"},
    {"lone CR at the end", u"x\r", u"\r"},
    {"line comment before a lone CR", u"a // x\rb", u"// x\r"},
    {"CR LF, LF and CR in a row", u"\r\n\n\r", u"\r\n\n\r"},
    {"LF CR is two line breaks", u"a\n\rb", u"\n\r"},
    {"line break inside a block comment is its own", u"x /* a\rb */ y\n", u"/* a\rb */\n"},
    {"non-ASCII comment copied whole", u"x; // \u65E5\U0001F600\r\n", u"// \u65E5\U0001F600\r\n"},
};

TEST(DeleteComments, CppWorkedExamples) {
  const TBraceTable table = CppBraceTable(ScanKind::Delete);
  for (const ScanCase& c : kDeleteCases) ExpectScan(ScanKind::Delete, table, c);
}

TEST(ExtractComments, CppWorkedExamples) {
  const TBraceTable table = CppBraceTable(ScanKind::Extract);
  for (const ScanCase& c : kExtractCases) ExpectScan(ScanKind::Extract, table, c);
}

// The region of an entry whose closer is empty is the opener alone.
TEST(DeleteComments, CommentWithAnEmptyCloserRemovesOnlyItsOpener) {
  const BraceRow rows[] = {Comment(u"#", u"")};
  ExpectScan(ScanKind::Delete, MakeBraceTable(rows), {"comment opener alone", u"a#b#c", u"abc"});
}

TEST(DeleteComments, ProtectedWithAnEmptyCloserIsTheOpenerAlone) {
  const BraceRow rows[] = {Protected(u"@", u""), Comment(u"/*", u"*/")};
  const TBraceTable table = MakeBraceTable(rows);
  ExpectScan(ScanKind::Delete, table, {"protected opener alone", u"a@b /* c */", u"a@b "});
  ExpectScan(ScanKind::Extract, table, {"protected opener alone", u"a@b /* c */", u"/* c */"});
}

// Every scan works through whatever table it is given, so a table larger than
// the ten languages' must still give what the step-by-step scan gives.
TEST(ScanComments, TablesWithManyOpeners) {
  std::vector<WideText> openers;
  for (char16_t u = u'a'; u <= u'z'; ++u) openers.push_back(WideText(1, u) + u'1');
  for (char16_t u = 0x03B1; u <= 0x03C9; ++u) openers.push_back(WideText(1, u) + u'1');  // Greek
  for (char16_t u = 0x0430; u <= 0x044F; ++u) openers.push_back(WideText(1, u) + u'1');  // Cyrillic
  // 40 rows: their openers begin with more distinct code units (case
  // variants included) than 64; 65 rows: more rows than 64.
  for (std::size_t count : {8u, 40u, 64u, 65u}) {
    std::vector<BraceRow> rows;
    for (std::size_t i = 0; i < count; ++i) {
      rows.push_back(i % 2 == 0 ? Comment(openers[i], u"2") : Protected(openers[i], u"3"));
    }
    const TBraceTable table = MakeBraceTable(rows);
    WideText text;
    for (std::size_t i = 0; i < rows.size(); i += 3) {
      text += openers[i];
      text += u" 3 2\n";
    }
    for (ScanKind kind : {ScanKind::Delete, ScanKind::Extract}) {
      std::string problem;
      EXPECT_NO_THROW(problem = testing::CheckScan(kind, text, table)) << count << " rows";
      EXPECT_EQ(problem, "") << count << " rows";
    }
  }
}

}  // namespace
}  // namespace kelvorat
