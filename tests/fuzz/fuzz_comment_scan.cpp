// libFuzzer target: the comment scans on arbitrary code units.
//
// The first byte B picks how the rest becomes text, B % 3:
//   0  pairs of bytes, low byte first, are UTF-16 code units as they are;
//   1  one code unit per byte: ASCII bytes stand for themselves, the others
//      for code units that matter to the scans (identifier and separator
//      units beyond ASCII, letters whose case variants lie beyond ASCII,
//      surrogate halves);
//   2  the next bytes describe a table of up to six rows built with the row
//      constructors, and the rest is text as in 1; both scans run with it.
// In modes 0 and 1, (B / 3) % 10 picks one of the ten commands, in menu
// order. The fast scan must give what the step-by-step scan gives, the output
// must be a sequence of stretches of the input in order, and never longer
// than the input; where the text has a UTF-8 form, the scan of its bytes must
// keep the same stretches. A breach aborts with the text and what went wrong.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Catalogue.h"
#include "tests/engine/ScanChecks.h"

namespace {

using kelvorat::BraceRow;
using kelvorat::TBraceTable;
using kelvorat::WideText;
using kelvorat::WideView;

// The step-by-step scan is quadratic: longer inputs are cut.
constexpr std::size_t kMaxUnits = 4096;

constexpr char16_t kHighUnits[16] = {
    0x00A0,  // no-break space: not an identifier character
    0x3000,  // ideographic space: not an identifier character
    0x00E9, 0x00C9,  // é É
    0x017F,          // long s: the same letter as s ignoring case
    0x212A,          // Kelvin sign: the same letter as k ignoring case
    0x0130,          // capital I with dot
    0x03C3, 0x03A3, 0x03C2,  // σ Σ ς
    0xD83D, 0xDE00,          // surrogate halves
    0x65E5,                  // 日
    0x0085,                  // next line: not a line break to the scans
    0xFEFF, 0xFFFF,
};

char16_t UnitOfByte(std::uint8_t b) {
  return b < 0x80 ? static_cast<char16_t>(b) : kHighUnits[b & 15];
}

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  bool Empty() const { return p_ == end_; }
  std::uint8_t Next() { return p_ == end_ ? 0 : *p_++; }
  std::size_t Left() const { return static_cast<std::size_t>(end_ - p_); }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

WideText TextOfBytes(Bytes& bytes) {
  WideText text;
  while (!bytes.Empty() && text.size() < kMaxUnits) text += UnitOfByte(bytes.Next());
  return text;
}

WideText TextOfPairs(Bytes& bytes) {
  WideText text;
  while (bytes.Left() >= 2 && text.size() < kMaxUnits) {
    const std::uint8_t low = bytes.Next();
    const std::uint8_t high = bytes.Next();
    text += static_cast<char16_t>(low | (high << 8));
  }
  return text;
}

// A delimiter of 0 to 3 code units.
WideText DelimiterOfBytes(Bytes& bytes) {
  WideText d;
  const std::size_t length = bytes.Next() % 4;
  for (std::size_t i = 0; i < length; ++i) d += UnitOfByte(bytes.Next());
  return d;
}

TBraceTable TableOfBytes(Bytes& bytes) {
  std::vector<WideText> storage;
  storage.reserve(12);
  std::vector<BraceRow> rows;
  const std::size_t count = 1 + bytes.Next() % 6;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t kind = bytes.Next();
    storage.push_back(DelimiterOfBytes(bytes));
    const WideView opener = storage.back();
    storage.push_back(DelimiterOfBytes(bytes));
    const WideView closer = storage.back();
    switch (kind % 7) {
      case 0: rows.push_back(kelvorat::Protected(opener)); break;
      case 1: rows.push_back(kelvorat::Protected(opener, closer)); break;
      case 2: rows.push_back(kelvorat::ProtectedWithEscapes(opener, closer)); break;
      case 3: rows.push_back(kelvorat::Comment(opener, closer)); break;
      case 4: rows.push_back(kelvorat::LineComment(opener)); break;
      case 5: rows.push_back(kelvorat::WordLineComment(opener)); break;
      default: rows.push_back(kelvorat::LineBreakRow()); break;
    }
  }
  return kelvorat::MakeBraceTable(rows);  // copies the delimiters
}

[[noreturn]] void Fail(const char* what, WideView text, const std::string& problem) {
  std::fprintf(stderr, "%s on %s:\n%s\n", what, kelvorat::testing::Show(text).c_str(),
               problem.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, size);
  const std::uint8_t first = bytes.Next();
  const int mode = first % 3;

  if (mode == 2) {
    const TBraceTable table = TableOfBytes(bytes);
    const WideText text = TextOfBytes(bytes);
    for (const kelvorat::ScanKind kind : {kelvorat::ScanKind::Delete, kelvorat::ScanKind::Extract}) {
      const std::string problem = kelvorat::testing::CheckScan(kind, text, table);
      if (!problem.empty()) {
        Fail(kind == kelvorat::ScanKind::Delete ? "deletion with a random table"
                                                : "extraction with a random table",
             text, problem + "\nrows:" + kelvorat::testing::ShowTable(table));
      }
    }
    return 0;
  }

  const WideText text = mode == 0 ? TextOfPairs(bytes) : TextOfBytes(bytes);
  const kelvorat::CatalogueCommand& c = kelvorat::Catalogue()[(first / 3) % 10];
  const TBraceTable table = kelvorat::LanguageTable(c.Lang, c.Scan);
  WideText output;
  const std::string problem = kelvorat::testing::CheckScan(c.Scan, text, table, true, &output);
  if (!problem.empty()) Fail(std::string(c.Name).c_str(), text, problem);
  if (c.Run(text) != output) Fail(std::string(c.Name).c_str(), text, "the command differs from its table");
  return 0;
}
