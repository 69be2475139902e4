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

std::size_t CaseVariants(char16_t unit, char16_t* out, std::size_t capacity) noexcept {
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

}  // namespace kelvorat::platform
