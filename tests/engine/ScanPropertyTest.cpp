// The fast scan against the step-by-step scan on random texts built from
// delimiter fragments: with the ten commands' tables, and with random tables
// built from the row constructors. Every run uses the same seed, so a failure
// comes back the same way; KELVORAT_PROPERTY_SEED picks another seed, to look
// further. A failure prints the seed, the case and the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "engine/Catalogue.h"
#include "tests/engine/ScanChecks.h"

namespace kelvorat {
namespace {

using testing::CheckScan;
using testing::Show;

// SplitMix64: the same numbers on every compiler and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

std::uint64_t Seed() {
  if (const char* s = std::getenv("KELVORAT_PROPERTY_SEED")) return std::strtoull(s, nullptr, 0);
  return 0x4B656C766F726174ull;
}

const WideView kFragments[] = {
    u"/",  u"*",  u"/*",   u"*/",  u"//", u"\"", u"\\", u"'",      u"@",      u"{",
    u"{$", u"}",  u"(*",   u"*)",  u"<!--", u"-->", u"<", u"!",    u"-",      u"rem",
    u"REM", u"Rem", u"r",  u"e",   u"m",  u"x",  u" ",  u"_",      u"\r",     u"\n",
    u"\r\n", u"\u3000", u"\u00A0", u"\u00E9", u"\U0001F600", u"@\"", u"'\"'", u"\\\"",
};

// Fragments appended until the text holds at least a random length of up to
// maxUnits code units.
WideText RandomText(Random& random, std::span<const WideView> fragments, std::size_t maxUnits) {
  const std::size_t target = random.Below(maxUnits + 1);
  WideText text;
  while (text.size() < target) text += fragments[random.Below(fragments.size())];
  return text;
}

// Stops a test after a few reported failures: one fault tends to show in
// many cases.
constexpr int kMaxReports = 5;

TEST(ScanProperty, LanguageTablesAgreeWithThePlainScan) {
  const std::uint64_t seed = Seed();
  Random random(seed);
  struct Prepared {
    const CatalogueCommand* command;
    TBraceTable table;
  };
  std::vector<Prepared> commands;
  for (const CatalogueCommand& c : Catalogue()) {
    commands.push_back({&c, LanguageTable(c.Lang, c.Scan)});
  }
  int reports = 0;
  constexpr int kCases = 2000;
  for (int i = 0; i < kCases && reports < kMaxReports; ++i) {
    const WideText text = RandomText(random, kFragments, 200);
    for (const Prepared& p : commands) {
      WideText viaTable;
      std::string problem = CheckScan(p.command->Scan, text, p.table, true, &viaTable);
      if (problem.empty()) {
        const WideText viaCommand = p.command->Run(text);
        WideText into(u"stale");
        p.command->RunInto(text, into);
        if (viaCommand != viaTable || into != viaTable) {
          problem = "the command gives " + Show(viaCommand) + " and " + Show(into) +
                    " but its table gives " + Show(viaTable);
        }
      }
      if (!problem.empty()) {
        ADD_FAILURE() << "seed " << seed << ", case " << i << ", command " << p.command->Id << " ("
                      << p.command->Name << ") on " << Show(text) << ": " << problem;
        ++reports;
      }
    }
  }
}

// Code units for random delimiters: letters in both cases (one beyond ASCII;
// none of the ASCII ones has a case form beyond ASCII), punctuation that the
// tables use, line breaks, a backslash, a surrogate half.
const WideView kUnits[] = {u"a",  u"A", u"b", u"r", u"R",      u"\u00E9", u"\u00C9", u"/",
                           u"*",  u"\"", u"'", u"\\", u"{",     u"}",      u"\r",     u"\n",
                           u" ",  u"_", u"\u3000", u"\xD83D"};

WideText RandomDelimiter(Random& random, std::size_t minUnits) {
  const std::size_t length = minUnits + random.Below(4 - minUnits);
  WideText d;
  for (std::size_t i = 0; i < length; ++i) d += kUnits[random.Below(std::size(kUnits))];
  return d;
}

// A random row from one of the row constructors. Openers are mostly
// non-empty; an empty opener is never found, an empty closer makes the
// region the opener alone.
BraceRow RandomRow(Random& random, std::vector<WideText>& storage) {
  storage.push_back(RandomDelimiter(random, random.OneIn(20) ? 0 : 1));
  const WideView opener = storage.back();
  storage.push_back(RandomDelimiter(random, random.OneIn(8) ? 0 : 1));
  const WideView closer = storage.back();
  switch (random.Below(7)) {
    case 0: return Protected(opener);
    case 1: return Protected(opener, closer);
    case 2: return ProtectedWithEscapes(opener, closer);
    case 3: return Comment(opener, closer);
    case 4: return LineComment(opener);
    case 5: return WordLineComment(opener);
    default: return LineBreakRow();
  }
}

TEST(ScanProperty, RandomTablesAgreeWithThePlainScan) {
  const std::uint64_t seed = Seed();
  Random random(seed ^ 0x7461626C6573ull);  // numbers of their own, from the same seed
  int reports = 0;
  constexpr int kTables = 1500;
  constexpr int kTextsPerTable = 4;
  for (int i = 0; i < kTables && reports < kMaxReports; ++i) {
    // Storage reserved up front: the rows keep views into it.
    std::vector<WideText> storage;
    storage.reserve(16);
    std::vector<BraceRow> rows;
    const std::size_t rowCount = 1 + random.Below(6);
    for (std::size_t r = 0; r < rowCount; ++r) rows.push_back(RandomRow(random, storage));
    const TBraceTable table = MakeBraceTable(rows);
    // Delimiters made only of code units that have no letter-case form beyond
    // ASCII can be sought in UTF-8 bytes as they are.
    bool asciiInEveryCase = true;
    for (const WideText& d : storage) {
      for (const char16_t u : d) asciiInEveryCase = asciiInEveryCase && u < 0x80;
    }

    // Texts from the table's own delimiters and single code units.
    std::vector<WideView> fragments(std::begin(kUnits), std::end(kUnits));
    for (const WideText& d : storage) {
      if (!d.empty()) fragments.push_back(d);
    }
    for (int t = 0; t < kTextsPerTable; ++t) {
      const WideText text = RandomText(random, fragments, 120);
      for (ScanKind kind : {ScanKind::Delete, ScanKind::Extract}) {
        const std::string problem = CheckScan(kind, text, table, asciiInEveryCase);
        if (!problem.empty()) {
          ADD_FAILURE() << "seed " << seed << ", table " << i << ", text " << t << ", "
                        << (kind == ScanKind::Delete ? "deletion" : "extraction") << " of "
                        << Show(text) << " with rows" << testing::ShowTable(table) << "\n"
                        << problem;
          ++reports;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kelvorat
