// Encodings: which form a file's bytes take, code page 932 as data, and the
// same text in UTF-8, UTF-16LE, UTF-16BE and code page 932 giving the same
// text out, byte for byte from the input.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cli/Cp932.h"
#include "cli/Transform.h"
#include "cli/Utf8.h"
#include "engine/Catalogue.h"
#include "tests/cli/Support.h"
#include "tests/engine/ScanChecks.h"

namespace kelvorat::testing {
namespace {

using cli::Encoding;

struct FormCase {
  const char* name;
  std::string bytes;
  std::optional<Encoding> forced;
  bool valid;
  Encoding encoding;     // when valid
  std::size_t bom;       // when valid
  const char* reasonHas;  // when not valid
};

class DetectForm : public ::testing::TestWithParam<FormCase> {};

TEST_P(DetectForm, FindsTheEncodingOrTheFirstInvalidByte) {
  const FormCase& c = GetParam();
  cli::TextForm form;
  std::string reason;
  const bool valid = cli::DetectForm(c.bytes, c.forced, form, reason);
  ASSERT_EQ(valid, c.valid) << reason;
  if (valid) {
    EXPECT_EQ(form.encoding, c.encoding);
    EXPECT_EQ(form.bomLength, c.bom);
  } else {
    EXPECT_NE(reason.find(c.reasonHas), std::string::npos) << reason;
  }
}

const std::string kLe = "\xFF\xFE";
const std::string kBe = "\xFE\xFF";

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectForm,
    ::testing::Values(
        FormCase{"Empty", "", {}, true, Encoding::Utf8, 0, ""},
        FormCase{"Ascii", "int x;", {}, true, Encoding::Utf8, 0, ""},
        FormCase{"Utf8", "\xE3\x81\x82", {}, true, Encoding::Utf8, 0, ""},
        FormCase{"Utf8Bom", "\xEF\xBB\xBFx", {}, true, Encoding::Utf8, 3, ""},
        FormCase{"Utf8BomOnly", "\xEF\xBB\xBF", {}, true, Encoding::Utf8, 3, ""},
        FormCase{"Utf16LeBom", kLe + std::string("x\0", 2), {}, true, Encoding::Utf16LE, 2, ""},
        FormCase{"Utf16BeBom", kBe + std::string("\0x", 2), {}, true, Encoding::Utf16BE, 2, ""},
        FormCase{"Utf16LeBomNonBmp", kLe + std::string("\x3D\xD8\x00\xDE", 4), {}, true, Encoding::Utf16LE, 2, ""},
        FormCase{"Cp932", "\x82\xA0", {}, true, Encoding::Cp932, 0, ""},
        FormCase{"Cp932BackslashTrail", "\"\x95\x5C\"", {}, true, Encoding::Cp932, 0, ""},
        FormCase{"Cp932HalfWidthKana", "\xB1\xDF", {}, true, Encoding::Cp932, 0, ""},
        FormCase{"Cp932SingleBytes80A0FD", "\x80\xA0\xFD\xFE\xFF", {}, true, Encoding::Cp932, 0, ""},
        FormCase{"ForcedCp932", "ab\x81", {Encoding::Cp932}, false, Encoding::Cp932, 0,
                 "not valid code page 932: invalid byte sequence at byte offset 2"},
        FormCase{"ForcedUtf16LeNoBom", std::string("x\0", 2), {Encoding::Utf16LE}, true, Encoding::Utf16LE, 0, ""},
        FormCase{"ForcedUtf16BeKeepsItsBom", kBe + std::string("\0x", 2), {Encoding::Utf16BE}, true,
                 Encoding::Utf16BE, 2, ""},
        FormCase{"ForcedUtf8SeesNoUtf16Bom", kLe + "x", {Encoding::Utf8}, false, Encoding::Utf8, 0,
                 "not valid UTF-8: invalid byte sequence at byte offset 0"},
        FormCase{"NeitherUtf8NorCp932", "ab\x81\x20", {}, false, Encoding::Utf8, 0,
                 "neither UTF-8 (invalid byte sequence at byte offset 2) nor code page 932 (at byte offset 2)"},
        FormCase{"Cp932LeadAtEnd", "ab \x82", {}, false, Encoding::Utf8, 0,
                 "(invalid byte sequence at byte offset 3) nor code page 932 (at byte offset 3)"},
        FormCase{"Cp932TrailOutOfRange", "\x81\x7F", {}, false, Encoding::Utf8, 0, "code page 932 (at byte offset 0)"},
        FormCase{"Cp932UnmappedPair", "ok\x85\x40", {}, false, Encoding::Utf8, 0, "code page 932 (at byte offset 2)"},
        FormCase{"Utf8Overlong", "\xC0\xAF", {Encoding::Utf8}, false, Encoding::Utf8, 0, "byte offset 0"},
        FormCase{"Utf8Surrogate", "x\xED\xA0\x80", {Encoding::Utf8}, false, Encoding::Utf8, 0, "byte offset 1"},
        FormCase{"Utf8BomThenInvalid", "\xEF\xBB\xBFok\xFF", {}, false, Encoding::Utf8, 0,
                 "not valid UTF-8 (after its BOM): invalid byte sequence at byte offset 5"},
        FormCase{"Utf16OddLength", kLe + "x", {}, false, Encoding::Utf16LE, 0, "byte offset 2"},
        FormCase{"Utf16LoneLowSurrogate", kBe + std::string("\0x\xDC\x00", 4), {}, false, Encoding::Utf16BE, 0,
                 "byte offset 4"},
        FormCase{"Utf16HighSurrogateAtEnd", kLe + std::string("x\0\x00\xD8", 4), {}, false, Encoding::Utf16LE, 0,
                 "byte offset 4"}),
    [](const ::testing::TestParamInfo<FormCase>& p) { return p.param.name; });

// Code page 932 as the codec maps it, including the byte forms that share a
// character and the single bytes outside ASCII.
TEST(Cp932, MapsAsTheCodec) {
  struct Mapping {
    std::string bytes;
    char16_t character;
  };
  const Mapping mappings[] = {
      {"\x82\xA0", u'\u3042'}, {"\x87\x54", u'\u2160'}, {"\xFA\x4A", u'\u2160'}, {"\x81\xCA", u'\uFFE2'},
      {"\xEE\xF9", u'\uFFE2'}, {"\xFA\x54", u'\uFFE2'}, {"\x95\x5C", u'\u8868'}, {"\x81\x5F", u'\uFF3C'},
      {"\x5C", u'\\'},         {"\x7E", u'~'},          {"\xB1", u'\uFF71'},     {"\x80", u'\u0080'},
      {"\xA0", u'\uF8F0'},     {"\xFD", u'\uF8F1'},     {"\xFF", u'\uF8F3'},     {"\xF0\x40", u'\uE000'},
      {"\x81\x40", u'\u3000'},
  };
  for (const Mapping& m : mappings) {
    std::size_t bad = 0;
    EXPECT_TRUE(cli::ValidCp932(m.bytes, bad)) << ShowBytes(m.bytes);
    WideText decoded;
    cli::DecodeCp932(m.bytes, decoded);
    EXPECT_EQ(decoded, WideText(1, m.character)) << ShowBytes(m.bytes);
  }
  // Lead bytes need a trail byte in 40-7E or 80-FC.
  for (const unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu}) {
    for (const unsigned trail : {0x00u, 0x3Fu, 0x7Fu, 0xFDu, 0xFFu}) {
      EXPECT_EQ(cli::Cp932Pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)), 0)
          << std::hex << lead << ' ' << trail;
    }
  }
}

// ValidUtf8 and DecodeUtf8 agree on every byte string, and on the offset of
// the first invalid sequence.
TEST(Utf8, ValidationAgreesWithDecoding) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> pieces = {"a", "ab", "0123456789abcdef", "\xC3\xA9", "\xE2\x82\xAC",
                                           "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", "\xEF\xBF\xBF"};
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const int n = static_cast<int>(rng() % 12);
    for (int k = 0; k < n; ++k) {
      if (rng() % 4 == 0) {
        bytes += static_cast<char>(rng() % 256);
      } else {
        bytes += pieces[rng() % pieces.size()];
      }
    }
    std::size_t validBad = 0;
    std::size_t decodeBad = 0;
    WideText out;
    const bool valid = cli::ValidUtf8(bytes, validBad);
    ASSERT_EQ(valid, cli::DecodeUtf8(bytes, out, decodeBad)) << ShowBytes(bytes);
    if (!valid) {
      ASSERT_EQ(validBad, decodeBad) << ShowBytes(bytes);
    }
  }
}

// Random texts of delimiters, quotes, backslashes, line breaks and
// characters whose code page 932 trail byte is an ASCII delimiter.
std::u16string RandomText(std::mt19937& rng, bool bmpOnly) {
  static const std::vector<std::string> fragments = {
      "/*", "*/", "//", "\"", "'", "\\", "{", "}", "{$", "(*", "*)", "<!--", "-->", "REM", "rem ", "@\"",
      " ", " ", "x", "Value", "\r\n", "\n", "\r", "\xE8\xA1\xA8" /* 表: 95 5C */, "\xE3\x82\xBD" /* ソ: 83 5C */,
      "\xE2\x85\xA0" /* Ⅰ */, "\xEF\xBF\xA2" /* ￢ */, "\xE3\x81\x82", "\xE3\x80\x80" /* U+3000 */,
      "\xEF\xBD\xB1" /* ｱ: B1 */, "\xEF\xBC\x8F" /* ／ */, "\xF0\x9F\x98\x80"};
  const std::size_t usable = bmpOnly ? fragments.size() - 1 : fragments.size();
  std::string utf8;
  const std::size_t n = rng() % 60;
  for (std::size_t k = 0; k < n; ++k) utf8 += fragments[rng() % usable];
  return Utf16(utf8);
}

class Collect final : public StretchSink {
 public:
  void Keep(std::size_t begin, std::size_t end) override { stretches.emplace_back(begin, end); }
  std::vector<std::pair<std::size_t, std::size_t>> stretches;
};

std::string Transformed(const std::string& bytes, Language language, ScanKind kind) {
  cli::TextForm form;
  std::string reason;
  if (!cli::DetectForm(bytes, std::nullopt, form, reason)) return "<" + reason + ">";
  std::string out;
  cli::StringSink sink(out);
  cli::TransformBytes(bytes, form, language, kind, sink);
  return out;
}

TEST(SameTextInEveryEncoding, GivesTheSameTextOut) {
  std::mt19937 rng(7);
  const Cp932Encoder cp932;
  for (int round = 0; round < 400; ++round) {
    const bool bmpOnly = round % 4 != 0;
    const std::u16string text = RandomText(rng, bmpOnly);
    for (const CatalogueCommand& command : Catalogue()) {
      const WideText expected = command.Run(text);
      SCOPED_TRACE(command.Name);
      SCOPED_TRACE(Show(text));
      // UTF-8 and UTF-16, with and without a BOM: one byte form each.
      const std::string bom = rng() % 2 ? "\xEF\xBB\xBF" : "";
      EXPECT_EQ(Transformed(bom + cli::EncodeUtf8(text), command.Lang, command.Scan), bom + cli::EncodeUtf8(expected));
      EXPECT_EQ(Transformed("\xFF\xFE" + Utf16Bytes(text, false), command.Lang, command.Scan),
                "\xFF\xFE" + Utf16Bytes(expected, false));
      EXPECT_EQ(Transformed("\xFE\xFF" + Utf16Bytes(text, true), command.Lang, command.Scan),
                "\xFE\xFF" + Utf16Bytes(expected, true));
      if (!bmpOnly) continue;
      // Code page 932, each character in a byte form drawn at random: the
      // result is the input's own bytes of the stretches the scan keeps.
      std::string bytes;
      std::vector<std::size_t> offset;  // of each code unit, and of the end
      for (const char16_t c : text) {
        offset.push_back(bytes.size());
        const std::vector<std::string>& forms = cp932.Forms(c);
        bytes += forms[rng() % forms.size()];
      }
      offset.push_back(bytes.size());
      Collect collect;
      ScanComments(command.Scan, text, LanguageTable(command.Lang, command.Scan), collect);
      std::string kept;
      for (const auto& [b, e] : collect.stretches) kept += bytes.substr(offset[b], offset[e] - offset[b]);
      cli::TextForm form;
      std::string reason;
      ASSERT_TRUE(cli::DetectForm(bytes, Encoding::Cp932, form, reason)) << reason;
      std::string out;
      cli::StringSink sink(out);
      cli::TransformBytes(bytes, form, command.Lang, command.Scan, sink);
      EXPECT_EQ(ShowBytes(out), ShowBytes(kept));
      WideText decoded;
      cli::DecodeCp932(out, decoded);
      EXPECT_EQ(Show(decoded), Show(expected));
    }
  }
}

}  // namespace
}  // namespace kelvorat::testing
