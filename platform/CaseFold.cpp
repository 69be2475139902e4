#include "platform/CaseFold.h"

#include <algorithm>
#include <iterator>

namespace kelvorat::platform {
namespace {

struct FoldPair {
  char16_t unit;
  char16_t form;
};

constexpr FoldPair kFolds[] = {
#include "platform/CaseFold.inc"
};

}  // namespace

char16_t FoldCase(char16_t unit) noexcept {
  if (unit < 0x80) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 0x20) : unit;
  }
  const auto* it = std::lower_bound(std::begin(kFolds), std::end(kFolds), unit,
                                    [](const FoldPair& p, char16_t u) { return p.unit < u; });
  return (it != std::end(kFolds) && it->unit == unit) ? it->form : unit;
}

namespace {

std::size_t SearchCaseVariants(char16_t unit, char16_t* out, std::size_t capacity) noexcept {
  const char16_t form = FoldCase(unit);
  std::size_t n = 0;
  auto put = [&](char16_t u) {
    for (std::size_t i = 0; i < n && i < capacity; ++i) {
      if (out[i] == u) return;
    }
    if (n < capacity) out[n] = u;
    ++n;
  };
  put(unit);
  put(form);
  for (const FoldPair& p : kFolds) {
    if (p.form == form) put(p.unit);
  }
  return n;
}

// The variants of every ASCII code unit, found once: delimiters are nearly
// always ASCII, and a scan asks for them each time it prepares a table.
struct AsciiVariants {
  char16_t units[128][4];
  std::size_t count[128];
};

const AsciiVariants& Ascii() noexcept {
  static const AsciiVariants table = [] {
    AsciiVariants t{};
    for (char16_t u = 0; u < 128; ++u) t.count[u] = SearchCaseVariants(u, t.units[u], 4);
    return t;
  }();
  return table;
}

}  // namespace

std::size_t CaseVariants(char16_t unit, char16_t* out, std::size_t capacity) noexcept {
  if (unit >= 128) return SearchCaseVariants(unit, out, capacity);
  const AsciiVariants& ascii = Ascii();
  const std::size_t n = ascii.count[unit];
  for (std::size_t i = 0; i < n && i < capacity && i < 4; ++i) out[i] = ascii.units[unit][i];
  return n;
}

}  // namespace kelvorat::platform
