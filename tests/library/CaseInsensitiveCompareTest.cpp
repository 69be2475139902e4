// CompareSubStr with the platform's own comparison, over the whole Basic
// Multilingual Plane: equal code units are always equal, and with IgnoreCase
// letters that differ only in case are equal too. The case partners come from
// the C library's Unicode tables, not from the project's.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cwctype>
#include <locale.h>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "library/StringUnit.h"

namespace kelvorat {
namespace {

constexpr std::uint32_t kUnits = 0x10000;

bool IsSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

std::string Hex(char16_t u) {
  std::ostringstream out;
  out << "U+" << std::hex << std::uppercase << static_cast<unsigned>(u);
  return out.str();
}

bool EqualUnits(char16_t a, char16_t b, bool ignoreCase) {
  const char16_t s1[1] = {a};
  const char16_t s2[1] = {b};
  return CompareSubStr(WideView(s1, 1), WideView(s2, 1), 1, 1, 1, ignoreCase);
}

// Case classes of BMP code units after the C library's simple case mappings:
// the form of a unit is lower(upper(unit)) where each step gives one unit of
// the plane. U+0130 (capital I with dot above) keeps its own form: its lower
// case is i followed by a combining dot, so no single unit differs from it
// only in case.
class CaseClasses {
 public:
  CaseClasses() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
    if (locale_ == locale_t{}) return;
    forms_.resize(kUnits);
    for (std::uint32_t u = 0; u < kUnits; ++u) {
      forms_[u] = FormOf(static_cast<char16_t>(u));
      members_[forms_[u]].push_back(static_cast<char16_t>(u));
    }
  }
  ~CaseClasses() {
    if (locale_ != locale_t{}) freelocale(locale_);
  }
  CaseClasses(const CaseClasses&) = delete;
  CaseClasses& operator=(const CaseClasses&) = delete;

  bool Available() const { return locale_ != locale_t{}; }
  char16_t Form(char16_t u) const { return forms_[u]; }
  // Every unit of the plane with the same form as u, u included.
  const std::vector<char16_t>& Members(char16_t u) const { return members_.at(forms_[u]); }

 private:
  char16_t FormOf(char16_t u) const {
    if (IsSurrogate(u) || u == 0x0130) return u;
    std::uint32_t upper = static_cast<std::uint32_t>(towupper_l(u, locale_));
    if (upper >= kUnits) upper = u;
    std::uint32_t lower = static_cast<std::uint32_t>(towlower_l(static_cast<wint_t>(upper), locale_));
    if (lower >= kUnits) lower = upper;
    return static_cast<char16_t>(lower);
  }

  locale_t locale_;
  std::vector<char16_t> forms_;
  std::map<char16_t, std::vector<char16_t>> members_;
};

const CaseClasses& Classes() {
  static const CaseClasses classes;
  return classes;
}

#define REQUIRE_CASE_CLASSES()                                                    \
  if (!Classes().Available()) GTEST_SKIP() << "the C library has no C.UTF-8 locale"

// Collects the first few disagreements of a sweep for one failure message.
class Mismatches {
 public:
  void Add(const std::string& what) {
    if (count_++ < 10) text_ += "\n  " + what;
  }
  bool Empty() const { return count_ == 0; }
  std::string Report() const { return std::to_string(count_) + " mismatches:" + text_; }

 private:
  std::size_t count_ = 0;
  std::string text_;
};

struct NamedPair {
  const char* name;
  char16_t a;
  char16_t b;
  bool equalIgnoringCase;
};

const NamedPair kNamedPairs[] = {
    {"Latin A/a", u'A', u'a', true},
    {"Latin Z/z", u'Z', u'z', true},
    {"A umlaut", u'\u00C4', u'\u00E4', true},
    {"A with ring / angstrom sign", u'\u212B', u'\u00E5', true},
    {"Kelvin sign / k", u'\u212A', u'k', true},
    {"Greek capital/small sigma", u'\u03A3', u'\u03C3', true},
    {"Greek capital/final sigma", u'\u03A3', u'\u03C2', true},
    {"Greek small/final sigma", u'\u03C3', u'\u03C2', true},
    {"Greek omega / ohm sign", u'\u2126', u'\u03C9', true},
    {"Cyrillic Zhe", u'\u0416', u'\u0436', true},
    {"Cyrillic Io", u'\u0401', u'\u0451', true},
    {"Armenian Ayb", u'\u0531', u'\u0561', true},
    {"Georgian An", u'\u10A0', u'\u2D00', true},
    {"Cherokee A", u'\u13A0', u'\uAB70', true},
    {"Glagolitic Az", u'\u2C00', u'\u2C30', true},
    {"Roman numeral one", u'\u2160', u'\u2170', true},
    {"circled A", u'\u24B6', u'\u24D0', true},
    {"fullwidth A", u'\uFF21', u'\uFF41', true},
    {"DZ with caron, capital/title", u'\u01C4', u'\u01C5', true},
    {"DZ with caron, title/small", u'\u01C5', u'\u01C6', true},
    {"a/b", u'a', u'b', false},
    {"accent is not case", u'\u00E4', u'a', false},
    {"width is not case", u'A', u'\uFF21', false},
    {"digit zero / letter O", u'0', u'O', false},
    {"Latin A / Greek Alpha", u'A', u'\u0391', false},
    {"Latin a / Cyrillic a", u'a', u'\u0430', false},
    {"CR / LF", u'\r', u'\n', false},
};

TEST(CaseInsensitiveCompare, NamedPairs) {
  for (const NamedPair& p : kNamedPairs) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(EqualUnits(p.a, p.b, true), p.equalIgnoringCase);
    EXPECT_EQ(EqualUnits(p.b, p.a, true), p.equalIgnoringCase);
    EXPECT_FALSE(EqualUnits(p.a, p.b, false));
    EXPECT_FALSE(EqualUnits(p.b, p.a, false));
  }
}

// Stretches of several units: every unit must match for the stretches to.
TEST(CaseInsensitiveCompare, Stretches) {
  const WideText upper = u"x\u00C4\u03A3\u0416\uFF21B";
  const WideText lower = u"\u00E4\u03C2\u0436\uFF41b";
  EXPECT_TRUE(CompareSubStr(upper, lower, 2, 1, 5, true));
  EXPECT_FALSE(CompareSubStr(upper, lower, 2, 1, 5, false));
  EXPECT_FALSE(CompareSubStr(upper, WideText(u"\u00E4\u03C2\u0436\uFF41c"), 2, 1, 5, true));
  EXPECT_FALSE(CompareSubStr(upper, WideText(u"a\u03C2\u0436\uFF41b"), 2, 1, 5, true));
}

// Every unit of the plane, surrogates and NUL included, equals itself.
TEST(CaseInsensitiveCompare, EqualUnitsAreAlwaysEqual) {
  Mismatches mismatches;
  for (std::uint32_t u = 0; u < kUnits; ++u) {
    const auto unit = static_cast<char16_t>(u);
    for (const bool ignoreCase : {false, true}) {
      if (!EqualUnits(unit, unit, ignoreCase)) {
        mismatches.Add(Hex(unit) + (ignoreCase ? " ignoring case" : " respecting case"));
      }
    }
  }
  EXPECT_TRUE(mismatches.Empty()) << mismatches.Report();
}

// Every unit of the plane against every member of its case class: equal
// ignoring case, and different respecting case unless it is the unit itself.
TEST(CaseInsensitiveCompare, WholePlaneCaseClasses) {
  REQUIRE_CASE_CLASSES();
  Mismatches mismatches;
  std::size_t partnered = 0;
  for (std::uint32_t u = 0; u < kUnits; ++u) {
    const auto unit = static_cast<char16_t>(u);
    for (const char16_t other : Classes().Members(unit)) {
      if (other == unit) continue;
      ++partnered;
      if (!EqualUnits(unit, other, true)) mismatches.Add(Hex(unit) + " vs " + Hex(other) + " ignoring case");
      if (EqualUnits(unit, other, false)) mismatches.Add(Hex(unit) + " vs " + Hex(other) + " respecting case");
    }
  }
  EXPECT_TRUE(mismatches.Empty()) << mismatches.Report();
  // Guards the sweep itself: the C library knows the plane's cased letters.
  EXPECT_GT(partnered, 2000u);
}

// Random pairs of units, half of them drawn from one case class: equal
// ignoring case exactly when the classes agree, equal respecting case exactly
// when the units are the same.
TEST(CaseInsensitiveCompare, RandomPairsAgreeWithCaseClasses) {
  REQUIRE_CASE_CLASSES();
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::uint32_t> anyUnit(0, kUnits - 1);
  Mismatches mismatches;
  for (int i = 0; i < 200000; ++i) {
    const auto a = static_cast<char16_t>(anyUnit(random));
    char16_t b = static_cast<char16_t>(anyUnit(random));
    if (i % 2 == 0) {
      const std::vector<char16_t>& members = Classes().Members(a);
      b = members[random() % members.size()];
    }
    const bool sameClass = Classes().Form(a) == Classes().Form(b);
    if (EqualUnits(a, b, true) != sameClass) mismatches.Add(Hex(a) + " vs " + Hex(b) + " ignoring case");
    if (EqualUnits(a, b, false) != (a == b)) mismatches.Add(Hex(a) + " vs " + Hex(b) + " respecting case");
  }
  EXPECT_TRUE(mismatches.Empty()) << mismatches.Report();
}

// Random stretches inside longer texts, at random offsets: equal ignoring
// case exactly when every unit pair is in one class.
TEST(CaseInsensitiveCompare, RandomStretchesAgreeWithCaseClasses) {
  REQUIRE_CASE_CLASSES();
  std::mt19937 random(7);
  std::uniform_int_distribution<std::uint32_t> anyUnit(0, kUnits - 1);
  std::uniform_int_distribution<int> length(1, 6);
  std::uniform_int_distribution<int> padding(0, 4);
  Mismatches mismatches;
  for (int i = 0; i < 20000; ++i) {
    const int count = length(random);
    WideText s1(static_cast<std::size_t>(padding(random)), u'#');
    WideText s2(static_cast<std::size_t>(padding(random)), u'%');
    const auto index1 = static_cast<std::int32_t>(s1.size()) + 1;
    const auto index2 = static_cast<std::int32_t>(s2.size()) + 1;
    bool sameClasses = true;
    bool sameUnits = true;
    for (int k = 0; k < count; ++k) {
      const auto a = static_cast<char16_t>(anyUnit(random));
      const std::vector<char16_t>& members = Classes().Members(a);
      // Mostly a member of a's class, now and then any unit.
      const char16_t b = random() % 8 == 0 ? static_cast<char16_t>(anyUnit(random))
                                           : members[random() % members.size()];
      s1 += a;
      s2 += b;
      sameClasses = sameClasses && Classes().Form(a) == Classes().Form(b);
      sameUnits = sameUnits && a == b;
    }
    s1 += u'#';
    s2 += u'%';
    if (CompareSubStr(s1, s2, index1, index2, count, true) != sameClasses) {
      mismatches.Add("stretch " + std::to_string(i) + " ignoring case");
    }
    if (CompareSubStr(s1, s2, index1, index2, count, false) != sameUnits) {
      mismatches.Add("stretch " + std::to_string(i) + " respecting case");
    }
  }
  EXPECT_TRUE(mismatches.Empty()) << mismatches.Report();
}

}  // namespace
}  // namespace kelvorat
