#include "cli/Cp932.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace kelvorat::cli {
namespace {

#include "cli/Cp932Table.inc"

// The row of kDouble for each lead byte, or -1.
constexpr std::array<std::int8_t, 256> MakeRows() {
  std::array<std::int8_t, 256> rows{};
  for (auto& r : rows) r = -1;
  for (std::size_t i = 0; i < sizeof kLeads; ++i) rows[kLeads[i]] = static_cast<std::int8_t>(i);
  return rows;
}
constexpr std::array<std::int8_t, 256> kRows = MakeRows();

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The number of leading bytes of s[0..n) below 0x80.
std::size_t AsciiRun(const unsigned char* s, std::size_t n) {
  std::size_t i = 0;
  while (n - i >= 32) {
    std::uint64_t w[4];
    std::memcpy(w, s + i, 32);
    if (((w[0] | w[1] | w[2] | w[3]) & kHighBits) != 0) break;
    i += 32;
  }
  while (n - i >= 8) {
    std::uint64_t w;
    std::memcpy(&w, s + i, 8);
    if ((w & kHighBits) != 0) break;
    i += 8;
  }
  while (i < n && s[i] < 0x80) ++i;
  return i;
}

}  // namespace

char16_t Cp932Single(unsigned char byte) { return kSingle[byte]; }

char16_t Cp932Pair(unsigned char lead, unsigned char trail) {
  const int row = kRows[lead];
  if (row < 0 || trail < 0x40 || trail > 0xFC) return 0;
  return kDouble[row][trail - 0x40];
}

bool ValidCp932(std::string_view bytes, std::size_t& errorOffset) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    i += AsciiRun(s + i, n - i);
    if (i == n) break;
    const char16_t c = kSingle[s[i]];
    if (c == kCp932Lead) {
      if (i + 1 == n || Cp932Pair(s[i], s[i + 1]) == 0) {
        errorOffset = i;
        return false;
      }
      i += 2;
    } else if (c == kCp932None) {
      errorOffset = i;
      return false;
    } else {
      ++i;
    }
  }
  return true;
}

void DecodeCp932(std::string_view bytes, WideText& out) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  out.resize(n);
  char16_t* o = out.data();
  std::size_t i = 0;
  while (i < n) {
    const std::size_t run = AsciiRun(s + i, n - i);
    for (std::size_t k = 0; k < run; ++k) o[k] = s[i + k];
    o += run;
    i += run;
    if (i == n) break;
    const char16_t c = kSingle[s[i]];
    if (c == kCp932Lead) {
      *o++ = Cp932Pair(s[i], s[i + 1]);
      i += 2;
    } else {
      *o++ = c;
      ++i;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

}  // namespace kelvorat::cli
