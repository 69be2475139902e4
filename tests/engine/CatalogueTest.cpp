// The ten commands: their ids, menu labels, languages, scans and tables, and
// each command on worked examples.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/Catalogue.h"
#include "engine/Languages.h"
#include "tests/engine/ScanChecks.h"

namespace kelvorat {
namespace {

using testing::Show;

struct Entry {
  int id;
  WideView label;
  Language lang;
  ScanKind scan;
  std::size_t rows;  // rows of the language's deletion table
};

constexpr ScanKind D = ScanKind::Delete;
constexpr ScanKind E = ScanKind::Extract;

const Entry kEntries[] = {
    {1, u"C言語のコメントを削除", Language::C, D, 4},
    {2, u"C++/C#/Javaのコメントを削除", Language::Cpp, D, 6},
    {3, u"VBのコメントを削除", Language::VB, D, 3},
    {4, u"Pascalのコメントを削除", Language::Pascal, D, 5},
    {5, u"HTMLのコメントを削除", Language::Html, D, 1},
    {6, u"C言語のコメントを抽出", Language::C, E, 4},
    {7, u"C++/C#/Javaのコメントを抽出", Language::Cpp, E, 6},
    {8, u"VBのコメントを抽出", Language::VB, E, 3},
    {9, u"Pascalのコメントを抽出", Language::Pascal, E, 5},
    {10, u"HTMLのコメントを抽出", Language::Html, E, 1},
};

TEST(Catalogue, TenCommandsInMenuOrder) {
  const auto catalogue = Catalogue();
  ASSERT_EQ(catalogue.size(), std::size(kEntries));
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const CatalogueCommand& c = catalogue[i];
    const Entry& want = kEntries[i];
    SCOPED_TRACE(::testing::Message() << "menu place " << i);
    EXPECT_EQ(c.Id, want.id);
    EXPECT_EQ(Show(c.MenuLabel), Show(want.label));
    EXPECT_EQ(c.Lang, want.lang);
    EXPECT_EQ(c.Scan, want.scan);
    EXPECT_EQ(FindCommand(want.id), &c);
    EXPECT_EQ(&CommandFor(want.lang, want.scan), &c);
  }
}

TEST(Catalogue, IdsOutsideOneToTenSelectNothing) {
  for (int id : {0, -1, 11, 100, 2147483647, -2147483647 - 1}) {
    EXPECT_EQ(FindCommand(id), nullptr) << id;
  }
}

TEST(Catalogue, NamesOfTheCommands) {
  std::set<std::string> names;
  for (const CatalogueCommand& c : Catalogue()) {
    const std::string name(c.Name);
    const std::string verb = c.Scan == ScanKind::Delete ? "Delete" : "Extract";
    EXPECT_EQ(name.rfind(verb, 0), 0u) << name;
    EXPECT_TRUE(name.ends_with("Comments")) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), Catalogue().size());
}

bool SameRow(const TBraceInfo& a, const TBraceInfo& b) {
  return a.StartBrace == b.StartBrace && a.EndBrace == b.EndBrace && a.IsComment == b.IsComment &&
         a.Opener == b.Opener && a.Closer == b.Closer;
}

// The extraction table of a language is its deletion table with one
// line-break row after it.
TEST(LanguageTable, RowCountsAndTheLineBreakRow) {
  for (const Entry& e : kEntries) {
    if (e.scan != D) continue;
    SCOPED_TRACE(std::string(LanguageTitle(e.lang)));
    const TBraceTable del = LanguageTable(e.lang, D);
    const TBraceTable ext = LanguageTable(e.lang, E);
    EXPECT_EQ(del.size(), e.rows);
    ASSERT_EQ(ext.size(), e.rows + 1);
    for (std::size_t i = 0; i < del.size(); ++i) EXPECT_TRUE(SameRow(del[i], ext[i])) << "row " << i;
    EXPECT_EQ(ext.back().Opener, OpenerKind::LineBreak);
    EXPECT_TRUE(ext.back().IsComment);
    EXPECT_EQ(ext.back().Closer, CloserKind::None);
    for (const TBraceInfo& row : del) EXPECT_NE(row.Opener, OpenerKind::LineBreak);
  }
}

struct CommandCase {
  int id;
  WideView text;
  WideView want;
};

// Runs a case through the catalogue command, and through both scans with the
// table of the command's language.
void ExpectCommand(const CommandCase& c) {
  const CatalogueCommand* command = FindCommand(c.id);
  ASSERT_NE(command, nullptr) << c.id;
  SCOPED_TRACE(::testing::Message() << "command " << c.id << " on " << Show(c.text));
  EXPECT_EQ(Show(command->Run(c.text)), Show(c.want));
  const TBraceTable table = LanguageTable(command->Lang, command->Scan);
  const WideText plain = command->Scan == D ? PlainDeleteComments(c.text, table)
                                            : PlainExtractComments(c.text, table);
  EXPECT_EQ(Show(plain), Show(c.want)) << "plain scan";
  EXPECT_EQ(testing::CheckScan(command->Scan, c.text, table, true), "");
}

TEST(Commands, WorkedExamples) {
  const CommandCase cases[] = {
      // Pascal: "{$" stands before "{", so a directive is protected.
      {4, u"x {$R+} { c } y", u"x {$R+}  y"},
      {9, u"x {$R+} { c } y\r\n", u"{ c }\r\n"},
      {3, u"REM hi\r\nx", u"\r\nx"},
      // "rem" counts only as a whole word, so "Premium" holds no comment.
      {8, u"x = Premium\r\ny", u"\r\n"},
      {1, u"a; // x\r\nb;", u"a; // x\r\nb;"},
      {6, u"a; // x\r\nb;", u"\r\n"},
      {2, u"a; // x\r\nb;", u"a; \r\nb;"},
      // '"' is the character literal of a double quote, so it opens no string.
      {1, u"c = '\"'; /* x */", u"c = '\"'; "},
      {5, u"a<!-- b -->c", u"ac"},
      {10, u"a<!-- b -->c\r\nd", u"<!-- b -->\r\n"},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

TEST(Commands, EmptyTextGivesEmptyText) {
  for (const CatalogueCommand& c : Catalogue()) EXPECT_EQ(c.Run(u""), u"") << c.Id;
}

TEST(Commands, C) {
  const CommandCase cases[] = {
      {1, u"a /* b */ c", u"a  c"},
      {6, u"a /* b */ c", u"/* b */"},
      {1, u"/* A */ x /* B", u" x "},
      {6, u"/* A */ x /* B", u"/* A *//* B"},
      {1, u"\"a\\\"b\" /* c */", u"\"a\\\"b\" "},
      {1, u"p = \"a\\\\\"; /* c */", u"p = \"a\\\\\"; "},
      {6, u"p = \"a\\\\\"; /* c */", u"/* c */"},
      {1, u"c = '\"'; /* x */", u"c = '\"'; "},
      {6, u"c = '\"'; /* x */", u"/* x */"},
      {1, u"s = \"/* no */\"; /* yes */", u"s = \"/* no */\"; "},
      {1, u"s = \"never closed /* x */", u"s = \"never closed /* x */"},
      {6, u"s = \"never closed /* x */", u""},
      // "//" is ordinary text to the C commands.
      {1, u"a; // b /* c */\nd", u"a; // b \nd"},
      {6, u"a; // b /* c */\nd", u"/* c */\n"},
      {1, u"/* x */", u""},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

TEST(Commands, CppCsJava) {
  const CommandCase cases[] = {
      {2, u"a = 1; // note\r\nb", u"a = 1; \r\nb"},
      {7, u"a = 1; // note\r\nb", u"// note\r\n"},
      // A line comment ends at any line break.
      {2, u"a // x\nb", u"a \nb"},
      {7, u"a // x\nb", u"// x\n"},
      {2, u"a // x\rb", u"a \rb"},
      {7, u"a;\rb; /* c */\n", u"\r/* c */\n"},
      {2, u"\"a\\\"b\" /* c */", u"\"a\\\"b\" "},
      {2, u"p = \"a\\\\\"; /* c */", u"p = \"a\\\\\"; "},
      {2, u"c = '\"'; /* x */", u"c = '\"'; "},
      {2, u"p = @\"C:\\dir\\\"; // c", u"p = @\"C:\\dir\\\"; "},
      {7, u"p = @\"C:\\dir\\\"; // c", u"// c"},
      {2, u"s = @\"a\"\"b // c\"; // d", u"s = @\"a\"\"b // c\"; "},
      {2, u"s = @\"a\r\n// b\"; // c", u"s = @\"a\r\n// b\"; "},
      {2, u"url = \"http://a\"; // b", u"url = \"http://a\"; "},
      {2, u"x /* a", u"x "},
      {7, u"x /* a", u"/* a"},
      {2, u"x // a", u"x "},
      {7, u"x // a", u"// a"},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

TEST(Commands, VB) {
  const CommandCase cases[] = {
      // "rem" counts only as a whole word.
      {3, u"x = Premium\r\ny", u"x = Premium\r\ny"},
      {3, u"mRemaining = mRemaining - 1", u"mRemaining = mRemaining - 1"},
      {3, u"r = PREMIUM_RATE", u"r = PREMIUM_RATE"},
      {3, u"x = 1 REM note", u"x = 1 "},
      {8, u"x = 1 REM note", u"REM note"},
      {3, u"REM\u3000\u65E5\u672C\u8A9E", u""},
      {8, u"REM\u3000\u65E5\u672C\u8A9E", u"REM\u3000\u65E5\u672C\u8A9E"},
      {3, u"x.Remove 1", u"x.Remove 1"},
      // Next to a "rem", a no-break space and an ideographic space separate;
      // every other unit beyond ASCII belongs to the word (some share their
      // last UTF-8 bytes with those two).
      {3, u"\u00A0REM x", u"\u00A0"},
      {3, u"\u3000rem x", u"\u3000"},
      {3, u"\u0420REM x", u"\u0420REM x"},
      {3, u"\u2000REM x", u"\u2000REM x"},
      {3, u"\u3001REM x", u"\u3001REM x"},
      {3, u"\U0001F600REM x", u"\U0001F600REM x"},
      {3, u"REM\u0420 x", u"REM\u0420 x"},
      {3, u"REM\u2000 x", u"REM\u2000 x"},
      {3, u"REM\U0001F600 x", u"REM\U0001F600 x"},
      {8, u"x.Remove 1", u""},
      // Delimiters ignore letter case.
      {3, u"Rem a\r\nrEM b\r\nREM c\r\nc", u"\r\n\r\n\r\nc"},
      {8, u"Rem a\r\nx\r\n", u"Rem a\r\n\r\n"},
      {3, u"x = 1 ' note\r\ny", u"x = 1 \r\ny"},
      {8, u"x = 1 ' note\r\ny", u"' note\r\n"},
      // A line comment ends at any line break.
      {3, u"x ' a\ny rem b\rz", u"x \ny \rz"},
      {8, u"x ' a\ny rem b\rz", u"' a\nrem b\r"},
      // Strings protect; a doubled quote closes the string and opens another.
      {3, u"s = \"it's\" ' c", u"s = \"it's\" "},
      {3, u"s = \"a\"\"b ' c\" ' d", u"s = \"a\"\"b ' c\" "},
      {3, u"s = \"rem ' x", u"s = \"rem ' x"},
      {8, u"s = \"rem ' x", u""},
      {3, u"x ' never ended", u"x "},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

TEST(Commands, Pascal) {
  const CommandCase cases[] = {
      {4, u"x := 'a{b}'; { c }", u"x := 'a{b}'; "},
      {9, u"x := 'a{b}'; { c }", u"{ c }"},
      {4, u"s := 'it''s'; { c }", u"s := 'it''s'; "},
      {4, u"(* a *) b // c\nd", u" b \nd"},
      {9, u"(* a *) b // c\nd", u"(* a *)// c\n"},
      {4, u"{$r+} {$I x.inc}", u"{$r+} {$I x.inc}"},
      {9, u"{$r+} {$I x.inc}", u""},
      {4, u"{ a { b } c }", u" c }"},
      {4, u"x { a", u"x "},
      {9, u"x { a", u"{ a"},
      {4, u"x (* a", u"x "},
      // A directive ends at the first "}", whatever stands before it.
      {4, u"x {$R+ y { z } w", u"x {$R+ y { z } w"},
      {9, u"x {$R+ y { z } w", u""},
      {4, u"x {$R+ y", u"x {$R+ y"},
      {9, u"x {$R+ y", u""},
      {4, u"s := 'abc { x }", u"s := 'abc { x }"},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

TEST(Commands, Html) {
  const CommandCase cases[] = {
      {5, u"<!-- a --> b <!-- c", u" b "},
      {10, u"<!-- a --> b <!-- c", u"<!-- a --><!-- c"},
      // No protected rows: an opener inside an attribute value counts.
      {5, u"<a title=\"<!--\">x-->y", u"<a title=\"y"},
      {10, u"<a title=\"<!--\">x-->y", u"<!--\">x-->"},
      {5, u"<!--->x-->y", u"y"},
      {10, u"<p>\r\n<!-- a\r\nb -->\r\n</p>\n", u"\r\n<!-- a\r\nb -->\r\n\n"},
      {5, u"a // b /* c */", u"a // b /* c */"},
  };
  for (const CommandCase& c : cases) ExpectCommand(c);
}

// Text without delimiters, whatever its code units, comes back unchanged from
// deletion; extraction keeps only its line breaks. A comment that holds such
// text is kept or dropped whole.
TEST(Commands, NonAsciiTextAndSurrogatePairsPassThrough) {
  using namespace std::literals;
  const WideView texts[] = {
      u"\u65E5\u672C\u8A9E \U0001F600 \u00E9\u00C9 \u00A0\u3000"sv,
      u"\U0001F600\r\n\U0001D11E\n\xD83D\r\xDE00\uFFFF\u0000x"sv,
  };
  for (const WideView text : texts) {
    WideText breaks;
    for (const char16_t u : text) {
      if (u == u'\r' || u == u'\n') breaks += u;
    }
    for (const CatalogueCommand& c : Catalogue()) {
      EXPECT_EQ(Show(c.Run(text)), Show(c.Scan == D ? text : WideView(breaks)))
          << "command " << c.Id << " on " << Show(text);
    }
  }
  const CommandCase comments[] = {
      {1, u"a/* \U0001F600 */b", u"ab"},
      {6, u"a/* \U0001F600 */b", u"/* \U0001F600 */"},
      {2, u"\u00E9// \U0001F600\u00E9\r\n", u"\u00E9\r\n"},
      {7, u"\u00E9// \U0001F600\u00E9\r\n", u"// \U0001F600\u00E9\r\n"},
      {3, u"\u00E9 ' \U0001F600", u"\u00E9 "},
      {8, u"\u00E9 ' \U0001F600", u"' \U0001F600"},
      {4, u"\u00E9{\U0001F600}\u00E9", u"\u00E9\u00E9"},
      {9, u"\u00E9{\U0001F600}\u00E9", u"{\U0001F600}"},
      {5, u"\U0001F600<!--\U0001F600-->\U0001F600", u"\U0001F600\U0001F600"},
      {10, u"\U0001F600<!--\U0001F600-->\U0001F600", u"<!--\U0001F600-->"},
  };
  for (const CommandCase& c : comments) ExpectCommand(c);
}

}  // namespace
}  // namespace kelvorat
