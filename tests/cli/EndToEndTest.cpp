// The kelvorat binary as a user runs it: a table of cases, each with the
// files it starts from, the arguments, standard input, and the exit status,
// standard output, message and files it must end with.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "resources/Version.h"
#include "tests/cli/Support.h"

namespace kelvorat::testing {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

// C++ with a CR LF, then LF line breaks, a comment opener inside a string, a
// block comment across lines and no final line break.
const std::string kCpp = "int a; /* one */ int b; // two\r\nchar* s = \"/* no */\";\n/* three\nlines */ end";
const std::string kCppDeleted = "int a;  int b; \r\nchar* s = \"/* no */\";\n end";
const std::string kCppExtracted = "/* one */// two\r\n\n/* three\nlines */";

// Code page 932: U+2160 in its NEC (87 54) and IBM (FA 4A) forms, U+FFE2 in
// three forms (81 CA, EE F9, FA 54), and U+8868 (95 5C), whose trail byte is
// a backslash in ASCII, just before a string's closing quote.
const std::string kCp932 =
    "a /* \x87\x54 */ s = \"\xFA\x4A\x95\x5C\"; // \xEE\xF9\r\nt = \xFA\x54 + \x81\xCA;\n";
const std::string kCp932Deleted = "a  s = \"\xFA\x4A\x95\x5C\"; \r\nt = \xFA\x54 + \x81\xCA;\n";
const std::string kCp932Extracted = "/* \x87\x54 */// \xEE\xF9\r\n\n";

const std::string kBom8 = "\xEF\xBB\xBF";

std::string Le(const std::string& utf8) { return Utf16Bytes(Utf16(utf8), false); }
std::string Be(const std::string& utf8) { return Utf16Bytes(Utf16(utf8), true); }

struct Case {
  std::string name;
  Files files;                      // made before the run
  std::vector<std::string> args;
  std::string input;                // standard input
  int status = 0;
  std::string out;                  // standard output, exactly
  std::string errHas;               // a part of standard error; empty: no message at all
  Files after;                      // files that must hold these bytes after the run
  std::vector<std::pair<std::string, unsigned>> modes{};  // permissions set before the run
  std::vector<std::pair<std::string, std::string>> links{};  // symbolic link name, target
  std::vector<std::string> folderHolds{};  // with `after`: every name left in the first file's folder
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.name; }

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      // The actions, the language from the extension or --lang, stdin.
      {"DeleteByExtension", {{"a.cpp", kCpp}}, {"delete", "a.cpp"}, "", 0, kCppDeleted, "", {}},
      {"ExtractByExtension", {{"a.cpp", kCpp}}, {"extract", "a.cpp"}, "", 0, kCppExtracted, "", {}},
      {"UpperCaseExtension", {{"A.CPP", kCpp}}, {"delete", "A.CPP"}, "", 0, kCppDeleted, "", {}},
      {"StdinWithLang", {}, {"delete", "--lang", "cpp"}, kCpp, 0, kCppDeleted, "", {}},
      {"StdinDashWithLang", {}, {"extract", "-l", "c++", "-"}, kCpp, 0, kCppExtracted, "", {}},
      {"LangOverridesExtension", {{"m.txt", "x = 1 ' one\r\nREM two\r\n"}}, {"delete", "--lang=vb", "m.txt"},
       "", 0, "x = 1 \r\n\r\n", "", {}},
      {"CFileKeepsDoubleSlash", {{"a.c", "x; // y /* z */\n"}}, {"delete", "a.c"}, "", 0, "x; // y \n", "", {}},
      {"PascalByExtension", {{"u.pas", "{$R+} x := 1; { one } (* two *)\n"}}, {"delete", "u.pas"}, "", 0,
       "{$R+} x := 1;  \n", "", {}},
      {"HtmlByExtension", {{"p.htm", "<p>Hi<!-- draft --></p>"}}, {"extract", "p.htm"}, "", 0, "<!-- draft -->",
       "", {}},

      // Line breaks and ends of files.
      {"CrLf", {{"a.c", "a; /* x */\r\nb;\r\n"}}, {"delete", "a.c"}, "", 0, "a; \r\nb;\r\n", "", {}},
      {"LoneCr", {{"a.cpp", "a; // x\rb; // y\r"}}, {"delete", "a.cpp"}, "", 0, "a; \rb; \r", "", {}},
      {"MixedBreaksExtracted", {{"a.cpp", "// x\r\n// y\n\r// z"}}, {"extract", "a.cpp"}, "", 0,
       "// x\r\n// y\n\r// z", "", {}},
      {"EmptyFile", {{"e.c", ""}}, {"delete", "e.c"}, "", 0, "", "", {}},
      {"EmptyFileExtracted", {{"e.c", ""}}, {"extract", "e.c"}, "", 0, "", "", {}},
      {"NoFinalLineBreak", {{"a.cpp", "x; // c"}}, {"delete", "a.cpp"}, "", 0, "x; ", "", {}},
      {"UnclosedCommentAtEnd", {{"a.c", "x; /* open\nstill"}}, {"delete", "a.c"}, "", 0, "x; ", "", {}},
      {"UnclosedCommentAtEndExtracted", {{"a.c", "x; /* open\nstill"}}, {"extract", "a.c"}, "", 0,
       "/* open\nstill", "", {}},
      {"UnclosedStringAtEnd", {{"a.c", "x = \"/* no\n*/"}}, {"delete", "a.c"}, "", 0, "x = \"/* no\n*/", "", {}},

      // Encodings: the BOM and every byte outside the comments come out as they went in.
      {"Utf8BomKept", {{"a.cpp", kBom8 + "// c\nx;"}}, {"delete", "a.cpp"}, "", 0, kBom8 + "\nx;", "", {}},
      {"Utf8BomKeptByExtraction", {{"a.cpp", kBom8 + "// c\nx;"}}, {"extract", "a.cpp"}, "", 0, kBom8 + "// c\n",
       "", {}},
      {"Utf8BomIsNoWordBeforeRem", {{"m.bas", kBom8 + "REM note\r\nx = 1 ' one"}}, {"delete", "m.bas"}, "", 0,
       kBom8 + "\r\nx = 1 ", "", {}},
      {"Utf8NonAscii", {{"a.cpp", "s = \"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"; // \xE6\xB3\xA8\n"}},
       {"delete", "a.cpp"}, "", 0, "s = \"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"; \n", "", {}},
      {"Utf16LeBom", {{"a.cpp", "\xFF\xFE" + Le(kCpp)}}, {"delete", "a.cpp"}, "", 0, "\xFF\xFE" + Le(kCppDeleted),
       "", {}},
      {"Utf16BeBom", {{"a.cpp", "\xFE\xFF" + Be(kCpp)}}, {"extract", "a.cpp"}, "", 0,
       "\xFE\xFF" + Be(kCppExtracted), "", {}},
      {"Utf16LeWithoutBomForced", {{"a.cpp", Le(kCpp)}}, {"delete", "--encoding", "utf-16le", "a.cpp"}, "", 0,
       Le(kCppDeleted), "", {}},
      {"Utf16BeWithoutBomForced", {{"a.cpp", Be(kCpp)}}, {"delete", "--encoding=utf-16be", "a.cpp"}, "", 0,
       Be(kCppDeleted), "", {}},
      {"Utf16LeNonBmp", {{"a.cpp", "\xFF\xFE" + Le("x = \"\xF0\x9F\x98\x80\"; /* \xF0\x9F\x98\x81 */")}},
       {"delete", "a.cpp"}, "", 0, "\xFF\xFE" + Le("x = \"\xF0\x9F\x98\x80\"; "), "", {}},
      {"Cp932BothForms", {{"j.cpp", kCp932}}, {"delete", "j.cpp"}, "", 0, kCp932Deleted, "", {}},
      {"Cp932BothFormsExtracted", {{"j.cpp", kCp932}}, {"extract", "j.cpp"}, "", 0, kCp932Extracted, "", {}},
      {"Cp932Forced", {{"j.cpp", "x; // \x81\x40\n"}}, {"delete", "-e", "cp932", "j.cpp"}, "", 0, "x; \n", "", {}},

      // Errors: a message naming the file and the reason, exit 1, the other files still done.
      {"MissingFileOthersDone", {{"a.c", "a; /* x */"}}, {"delete", "nope.c", "a.c"}, "", 1, "a; ",
       "kelvorat: nope.c: no such file", {}},
      {"FolderWithoutRecursive", {{"src/a.c", "a;"}}, {"delete", "src"}, "", 1, "", "kelvorat: src: is a folder",
       {}},
      {"UnknownExtension", {{"notes.txt", "a; // x"}, {"a.c", "b; /* y */"}}, {"delete", "notes.txt", "a.c"}, "",
       1, "b; ", "kelvorat: notes.txt: unknown extension", {}},
      {"InvalidBytes", {{"bad.c", "ok;\n\x81\x20/* x */"}, {"a.c", "a; /* x */"}}, {"delete", "bad.c", "a.c"},
       "", 1, "a; ", "kelvorat: bad.c: invalid bytes: neither UTF-8 (invalid byte sequence at byte offset 4)",
       {}},
      {"InvalidForcedUtf8", {{"a.c", "ok; \xFF"}}, {"delete", "--encoding", "utf-8", "a.c"}, "", 1, "",
       "a.c: not valid UTF-8: invalid byte sequence at byte offset 4", {}},
      {"OddUtf16", {{"a.c", "\xFF\xFE" + Le("x;") + "y"}}, {"delete", "a.c"}, "", 1, "",
       "a.c: not valid UTF-16LE (after its BOM): invalid byte sequence at byte offset 6", {}},
      {"LoneSurrogateUtf16", {{"a.c", "\xFF\xFE" + std::string("x\0\x00\xD8y\0", 6)}}, {"delete", "a.c"}, "", 1,
       "", "byte offset 4", {}},
      {"ReadOnlyFileInPlace", {{"a.c", "a; /* x */"}}, {"delete", "-i", "a.c"}, "", 1, "",
       "kelvorat: a.c: read-only file", {{"a.c", "a; /* x */"}}, {{"a.c", 0444}}},
      {"ReadOnlyFolderInPlace", {{"ro/a.c", "a; /* x */"}}, {"delete", "-i", "ro/a.c"}, "", 1, "",
       "kelvorat: ro/a.c: read-only folder ro", {{"ro/a.c", "a; /* x */"}}, {{"ro", 0555}}, {}, {"a.c"}},

      // Usage errors: the usage on stderr, exit 2, nothing done.
      {"NoCommand", {}, {}, "", 2, "", "Usage:", {}},
      {"UnknownCommand", {}, {"remove", "a.c"}, "", 2, "", "unknown command 'remove'", {}},
      {"UnknownOption", {{"a.c", "a;"}}, {"delete", "--fast", "a.c"}, "", 2, "", "unknown option '--fast'", {}},
      {"StdinWithoutLang", {}, {"delete"}, "a; // b", 2, "", "--lang is needed", {}},
      {"UnknownLang", {{"a.c", "a;"}}, {"delete", "--lang", "cobol", "a.c"}, "", 2, "", "unknown language", {}},
      {"UnknownEncoding", {{"a.c", "a;"}}, {"delete", "--encoding", "latin1", "a.c"}, "", 2, "",
       "unknown encoding", {}},
      {"OutputWithTwoInputs", {{"a.c", "a;"}, {"b.c", "b;"}}, {"delete", "a.c", "b.c", "-o", "x.c"}, "", 2, "",
       "-o takes one input", {}},
      {"InPlaceWithStdin", {}, {"delete", "-i", "--lang", "c"}, "a;", 2, "", "-i needs files", {}},
      {"InPlaceWithOutput", {{"a.c", "a;"}}, {"delete", "-i", "a.c", "-o", "x.c"}, "", 2, "", "cannot go together",
       {}},
      {"DryRunWithoutInPlace", {{"a.c", "a;"}}, {"delete", "--dry-run", "a.c"}, "", 2, "", "--dry-run goes with -i",
       {}},
      {"JobsZero", {{"a.c", "a;"}}, {"delete", "--jobs", "0", "a.c"}, "", 2, "", "number of threads", {}},
      {"JobsMissing", {{"a.c", "a;"}}, {"delete", "a.c", "-j"}, "", 2, "", "number of threads", {}},

      // Writing: -o, -i, --dry-run.
      {"OutputFile", {{"a.c", "a; /* x */\n"}}, {"delete", "a.c", "-o", "out.c"}, "", 0, "", "",
       {{"out.c", "a; \n"}, {"a.c", "a; /* x */\n"}}},
      {"OutputIsAFolder", {{"a.c", "a; /* x */\n"}, {"d/keep.c", ""}}, {"delete", "a.c", "-o", "d"}, "", 1, "",
       "kelvorat: a.c: output d: is a folder", {{"a.c", "a; /* x */\n"}}},
      {"OutputFileReplaced", {{"a.c", "a; /* x */\n"}, {"out.c", "old"}}, {"delete", "a.c", "--output=out.c"}, "",
       0, "", "", {{"out.c", "a; \n"}}},
      {"InPlace", {{"d/a.c", "a; /* x */\n"}, {"d/b.cpp", "b; // y\n"}}, {"delete", "-i", "d/a.c", "d/b.cpp"}, "",
       0, "", "", {{"d/a.c", "a; \n"}, {"d/b.cpp", "b; \n"}}, {}, {}, {"a.c", "b.cpp"}},
      {"InPlaceExtract", {{"a.c", "a; /* x */\n"}}, {"extract", "--in-place", "a.c"}, "", 0, "", "",
       {{"a.c", "/* x */\n"}}},
      {"InPlaceThroughLink", {{"real/a.c", "a; /* x */"}}, {"delete", "-i", "l.c"}, "", 0, "", "",
       {{"real/a.c", "a; "}}, {}, {{"l.c", "real/a.c"}}},
      {"DryRun", {{"a.c", "a; /* x */"}, {"b.c", "b;"}, {"c.c", "c; /* z */"}},
       {"delete", "-i", "--dry-run", "a.c", "b.c", "c.c"}, "", 0, "a.c\nc.c\n", "",
       {{"a.c", "a; /* x */"}, {"c.c", "c; /* z */"}}},

      // Folders: -r walks known extensions in name order, skips hidden
      // folders unless named, follows no symbolic link.
      {"Recursive",
       {{"src/b.c", "b; /* 1 */"}, {"src/a.cpp", "a; // 2\n"}, {"src/sub/z.h", "z; /* 3 */"},
        {"src/.git/h.c", "h; /* 4 */"}, {"src/readme.txt", "r; /* 5 */"}, {"out/o.c", "o; /* 6 */"}},
       {"delete", "-r", "src"}, "", 0, "a; \nb; z; ", "", {}, {},
       {{"src/linkdir", "../out"}, {"src/link.c", "../out/o.c"}}},
      {"RecursiveNamedHiddenFolder", {{".hid/a.c", "a; /* 1 */"}, {".hid/.deeper/b.c", "b; /* 2 */"}},
       {"delete", "-r", ".hid"}, "", 0, "a; ", "", {}},
      {"RecursiveInPlace", {{"t/a.c", "a; /* 1 */"}, {"t/s/b.pas", "b; { 2 }"}, {"t/s/n.txt", "/* 3 */"}},
       {"delete", "-ir", "t"}, "", 0, "", "", {{"t/a.c", "a; "}, {"t/s/b.pas", "b; "}, {"t/s/n.txt", "/* 3 */"}}},
      {"RecursiveArgumentOrder", {{"z/a.c", "za; /* */"}, {"a/z.c", "az; /* */"}}, {"delete", "-r", "z", "a"}, "",
       0, "za; az; ", "", {}},
  };
  return cases;
}

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, Runs) {
  const Case& c = GetParam();
  TempDir dir;
  for (const auto& [name, bytes] : c.files) WriteBytes(dir / name, bytes);
  for (const auto& [name, target] : c.links) {
    ASSERT_EQ(::symlink(target.c_str(), (dir / name).c_str()), 0) << name;
  }
  for (const auto& [name, mode] : c.modes) ASSERT_EQ(::chmod((dir / name).c_str(), mode), 0) << name;

  const RunResult r = RunKelvorat(dir.Path(), c.args, c.input);

  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_EQ(ShowBytes(r.out), ShowBytes(c.out));
  if (c.errHas.empty()) {
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << "stderr: " << r.err;
  }
  if (c.status == 2) {
    EXPECT_NE(r.err.find("Usage: kelvorat"), std::string::npos) << r.err;
  }
  for (const auto& [name, bytes] : c.after) {
    EXPECT_EQ(ShowBytes(ReadBytes(dir / name)), ShowBytes(bytes)) << name;
  }
  if (!c.folderHolds.empty()) {
    const std::string folder = std::filesystem::path(dir / c.after.at(0).first).parent_path().string();
    EXPECT_EQ(Names(folder), c.folderHolds) << "a temporary file left behind?";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& p) { return p.param.name; });

// -i keeps each file's permissions, and leaves a file without comments as it is.
TEST(EndToEndInPlace, KeepsPermissionsAndUnchangedFiles) {
  TempDir dir;
  WriteBytes(dir / "a.c", "a; /* x */");
  WriteBytes(dir / "b.c", "b;");
  ASSERT_EQ(::chmod((dir / "a.c").c_str(), 0640), 0);
  ASSERT_EQ(::chmod((dir / "b.c").c_str(), 0604), 0);
  struct stat before{};
  ASSERT_EQ(::stat((dir / "b.c").c_str(), &before), 0);

  const RunResult r = RunKelvorat(dir.Path(), {"delete", "-i", "a.c", "b.c"});

  ASSERT_EQ(r.status, 0) << r.err;
  struct stat a{};
  struct stat b{};
  ASSERT_EQ(::stat((dir / "a.c").c_str(), &a), 0);
  ASSERT_EQ(::stat((dir / "b.c").c_str(), &b), 0);
  EXPECT_EQ(a.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadBytes(dir / "a.c"), "a; ");
  EXPECT_EQ(b.st_mode & 07777, 0604u);
  EXPECT_EQ(b.st_ino, before.st_ino) << "an unchanged file was rewritten";
}

// Files of a megabyte and more are mapped rather than read, and code page
// 932 is scanned through a copy-on-write view of the file: the results are
// the same, and the file itself never changes.
TEST(EndToEndLargeFiles, MappedFilesGiveTheSameResultAndStayAsTheyWere) {
  struct Big {
    const char* name;
    std::string unit;
    std::string deleted;
    std::string extracted;
    std::string bom;
  };
  const Big bigs[] = {
      {"big.cpp", kCpp + "\n", kCppDeleted + "\n", kCppExtracted + "\n", ""},
      {"bigj.cpp", kCp932, kCp932Deleted, kCp932Extracted, ""},
      {"big16.cpp", Le(kCpp + "\n"), Le(kCppDeleted + "\n"), Le(kCppExtracted + "\n"), "\xFF\xFE"},
  };
  for (const Big& b : bigs) {
    TempDir dir;
    std::string text = b.bom;
    std::string deleted = b.bom;
    std::string extracted = b.bom;
    while (text.size() < (3u << 19)) {
      text += b.unit;
      deleted += b.deleted;
      extracted += b.extracted;
    }
    WriteBytes(dir / b.name, text);
    const RunResult d = RunKelvorat(dir.Path(), {"delete", b.name});
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_TRUE(d.out == deleted) << b.name;
    const RunResult x = RunKelvorat(dir.Path(), {"extract", b.name, "-o", "x.out"});
    EXPECT_EQ(x.status, 0) << x.err;
    EXPECT_TRUE(ReadBytes(dir / "x.out") == extracted) << b.name;
    EXPECT_TRUE(ReadBytes(dir / b.name) == text) << b.name << " changed";
  }
}

// Many files on several threads: results and messages in the order of the
// arguments, whatever order the threads finish in.
TEST(EndToEndJobs, ResultsAndMessagesInArgumentOrder) {
  TempDir dir;
  std::vector<std::string> args{"delete", "--jobs", "3"};
  std::string expectedOut;
  std::string expectedErr;
  for (int i = 0; i < 60; ++i) {
    const std::string name = "f" + std::to_string(i) + ".cpp";
    args.push_back(name);
    if (i % 7 == 3) {
      expectedErr += "kelvorat: " + name + ": no such file or folder\n";
      continue;
    }
    // Sizes vary so that the threads finish out of order.
    std::string text = "f" + std::to_string(i) + "; /* c */\n";
    for (int k = 0; k < (i % 5) * 4000; ++k) text += "x; // y\n";
    WriteBytes(dir / name, text);
    expectedOut += "f" + std::to_string(i) + "; \n";
    for (int k = 0; k < (i % 5) * 4000; ++k) expectedOut += "x; \n";
  }
  const RunResult r = RunKelvorat(dir.Path(), args);
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(r.out.size(), expectedOut.size());
  const auto diff = std::mismatch(r.out.begin(), r.out.end(), expectedOut.begin());
  EXPECT_TRUE(diff.first == r.out.end())
      << "output out of order or wrong from byte " << (diff.first - r.out.begin()) << ": "
      << ShowBytes(std::string(diff.first, diff.first + std::min<std::ptrdiff_t>(40, r.out.end() - diff.first)));
  EXPECT_EQ(r.err, expectedErr);
}

// Every option in --help comes with an example that uses it.
TEST(EndToEndHelp, EveryOptionHasAnExample) {
  TempDir dir;
  const RunResult r = RunKelvorat(dir.Path(), {"--help"});
  ASSERT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string line;
  std::vector<std::string> documented;
  std::vector<std::string> pending;  // the spellings of an option still waiting for its example
  while (std::getline(lines, line)) {
    const std::size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos) continue;
    const std::string text = line.substr(indent);
    if (indent >= 2 && indent <= 6 && text[0] == '-') {
      EXPECT_TRUE(pending.empty()) << "no example for " << pending.back();
      pending.clear();
      std::istringstream words(text);
      std::string word;
      while (words >> word && word[0] == '-') {
        if (word.back() == ',') word.pop_back();
        pending.push_back(word);
        documented.push_back(word);
      }
    } else if (indent >= 10 && text.rfind("kelvorat ", 0) == 0 && !pending.empty()) {
      EXPECT_TRUE(std::any_of(pending.begin(), pending.end(),
                              [&](const std::string& o) { return text.find(o) != std::string::npos; }))
          << "the example of " << pending.back() << " does not use it: " << text;
      pending.clear();
    }
  }
  EXPECT_TRUE(pending.empty()) << "no example for " << pending.back();
  for (const char* o : {"--lang", "--output", "--in-place", "--recursive", "--dry-run", "--encoding", "--jobs",
                        "--help", "--version"}) {
    EXPECT_NE(std::find(documented.begin(), documented.end(), o), documented.end()) << o << " is not documented";
  }
}

TEST(EndToEndVersion, PrintsTheVersion) {
  TempDir dir;
  const RunResult r = RunKelvorat(dir.Path(), {"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "kelvorat " KELVORAT_VERSION_TEXT "\n");
}

}  // namespace
}  // namespace kelvorat::testing
