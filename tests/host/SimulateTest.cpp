// kelvorat simulate: the command line that runs the plug-in on the simulated editor.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/Simulate.h"

namespace kelvorat::test {
namespace {

class Simulate : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("kelvorat-simulate-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::string Write(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
    return path_.string();
  }
  int Run(std::vector<std::string> args) {
    out.clear();
    err.clear();
    args.insert(args.begin(), "simulate");
    return cli::RunSimulate(args, out, err);
  }

  std::filesystem::path path_;
  std::string out;
  std::string err;
};

TEST_F(Simulate, RunsTheChosenActionOnTheWholeDocumentOrTheSelection) {
  const std::string file = Write("a; // x\r\nb; /* y */\r\n\xC3\xA9;\n");
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"--choice", "2", file}, "a; \r\nb; \r\n\xC3\xA9;\n"},
      {{"--choice", "7", file}, "// x\r\n/* y */\r\n\n"},
      {{"--choice", "2", "--select", "1:0-1:10", file}, "a; // x\r\nb; \r\n\xC3\xA9;\n"},
      {{"--choice", "2", "--select", "1:10-1:0", "--caret-at-start", file}, "a; // x\r\nb; \r\n\xC3\xA9;\n"},
      {{"--choice", "0", file}, "a; // x\r\nb; /* y */\r\n\xC3\xA9;\n"},
      {{"--choice", "cancel", file}, "a; // x\r\nb; /* y */\r\n\xC3\xA9;\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), 0) << err;
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(err, "");
  }
}

// The document comes back in the file's encoding, as the file's own bytes:
// code page 932 has two byte forms of some characters, and re-encoding the
// text would turn one into the other.
TEST_F(Simulate, WritesTheDocumentInTheFilesOwnBytes) {
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::string choice;
    std::string file;
    std::string out;
  } cases[] = {
      {"code page 932, NEC and IBM forms of U+2160", "1",
       "\x87\x54 /* \x87\x54 */ \xFA\x4A;\r\n"s, "\x87\x54  \xFA\x4A;\r\n"s},
      {"code page 932, extracted", "6", "\x87\x54 /* \xFA\x4A */\r\n"s, "/* \xFA\x4A */\r\n"s},
      {"UTF-16LE with BOM", "1", "\xFF\xFE" "a\0/\0*\0b\0*\0/\0\n\0"s, "\xFF\xFE" "a\0\n\0"s},
      {"UTF-16BE with BOM", "6", "\xFE\xFF" "\0a\0/\0*\0b\0*\0/\0\n"s, "\xFE\xFF" "\0/\0*\0b\0*\0/\0\n"s},
      {"UTF-8 with BOM and a character outside the BMP", "2",
       "\xEF\xBB\xBF\xF0\x9F\x98\x80; // \xF0\x9F\x98\x80\n"s, "\xEF\xBB\xBF\xF0\x9F\x98\x80; \n"s},
      {"menu dismissed: the bytes as they were", "0", "\x87\x54 /* x */"s, "\x87\x54 /* x */"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run({"--choice", c.choice, Write(c.file)}), 0) << c.what << ": " << err;
    EXPECT_EQ(out, c.out) << c.what;
  }
}

TEST_F(Simulate, TracesEveryMessageAndTheEndState) {
  const std::string file = Write("a; // x\r\nb;");
  ASSERT_EQ(Run({"--choice", "2", "--select", "0:0-1:2", "--trace", file}), 0) << err;
  EXPECT_EQ(out, "a; \r\nb;");
  const std::string expected =
      "HM_SET_REDRAW off = 0\n"
      "HM_GET_SEL_START kind 2 -> (0,0) = 1\n"
      "HM_GET_SCROLL_POS -> (0,0) = 1\n"
      "HM_HAS_SELECTION  = 1\n"
      "HM_GET_SEL_TEXT capacity 0, no buffer = 12\n"
      "HM_GET_SEL_TEXT capacity 12, buffer <- \"a; // x\\r\\nb;\" = 11\n"
      "HM_GET_SEL_TEXT capacity 0, no buffer = 12\n"
      "HM_GET_SEL_TEXT capacity 12, buffer <- \"a; // x\\r\\nb;\" = 11\n"
      "HM_GET_SEL_START kind 2 -> (0,0) = 1\n"
      "HM_GET_SEL_START kind 0 -> (0,0) = 1\n"
      "HM_GET_SEL_END kind 0 -> (2,1) = 1\n"
      "HM_GET_CARET_POS kind 0 -> (2,1) = 1\n"
      "HM_SET_CARET_POS kind 2, (0,0) = 1\n"
      "HM_SELECT_CHARS 7 code units = 1\n"
      "HM_INSERT_TEXT \"a; \" replacing \"a; // x\" at 0 = 1\n"
      "HM_SET_CARET_POS kind 2, (0,1) = 1\n"
      "HM_SET_CARET_POS kind 2, (0,2) = 1\n"
      "HM_SET_CARET_POS kind 2, (0,0) = 1\n"
      "HM_SELECT_CHARS 7 code units = 1\n"
      "HM_GET_SEL_START kind 0 -> (0,0) = 1\n"
      "HM_GET_SEL_END kind 0 -> (2,1) = 1\n"
      "HM_SET_SELECTION anchor (0,0), caret (2,1) = 1\n"
      "HM_SET_SCROLL_POS (0,0) = 1\n"
      "HM_SET_REDRAW on = 0\n"
      "menu: 13 items at (100,100), answered 2\n"
      "caret (2,1), selection (0,0)-(2,1), scroll (0,0)\n";
  EXPECT_EQ(err, expected);
}

TEST_F(Simulate, RefusesBadUsageAndUnreadableFiles) {
  const std::string file = Write("ab\ncd");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* says;
  } cases[] = {
      {{file}, 2, "--choice is required"},
      {{"--choice", "2"}, 2, "a file is required"},
      {{"--choice", "x", file}, 2, "not an id"},
      {{"--choice", "2", "--select", "0:0", file}, 2, "not L1:C1-L2:C2"},
      {{"--choice", "2", "--select", "0:0-0:3", file}, 2, "lies outside the text"},
      {{"--choice", "2", "--select", "0:0-2:0", file}, 2, "lies outside the text"},
      {{"--choice", "2", "--bogus", file}, 2, "unknown option"},
      {{"--choice", "2", file, file}, 2, "one file only"},
      {{"--choice", "2", "/nonexistent/kelvorat"}, 1, "/nonexistent/kelvorat"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.status);
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(out, "");
  }
  // Neither UTF-8 nor code page 932: a lead byte followed by a blank.
  EXPECT_EQ(Run({"--choice", "2", Write("ab\x81 ")}), 1);
  EXPECT_NE(err.find("byte offset 2"), std::string::npos) << err;
}

}  // namespace
}  // namespace kelvorat::test
