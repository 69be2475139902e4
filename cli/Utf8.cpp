#include "cli/Utf8.h"

#include <cstdint>
#include <cstring>

namespace kelvorat::cli {

bool ValidUtf8(std::string_view bytes, std::size_t& errorOffset) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    while (n - i >= 32) {
      std::uint64_t w[4];
      std::memcpy(w, s + i, 32);
      if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) != 0) break;
      i += 32;
    }
    if (i == n) break;
    const unsigned c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;  // the range of the byte after the lead
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;   // no overlong forms
      if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      errorOffset = i;
      return false;
    }
    if (n - i < length || s[i + 1] < low || s[i + 1] > high) {
      errorOffset = i;
      return false;
    }
    for (std::size_t k = 2; k < length; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) {
        errorOffset = i;
        return false;
      }
    }
    i += length;
  }
  return true;
}

bool DecodeUtf8(std::string_view bytes, WideText& out, std::size_t& errorOffset) {
  out.clear();
  // The rules of well-formed UTF-8 live in ValidUtf8 alone; what passes it
  // decodes without further checks.
  if (!ValidUtf8(bytes, errorOffset)) return false;
  out.resize(bytes.size());
  char16_t* o = out.data();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned b = s[i];
    if (b < 0x80) {
      *o++ = static_cast<char16_t>(b);
      ++i;
      continue;
    }
    const std::size_t length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    i += length;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return true;
}

std::string EncodeUtf8(WideView text) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char32_t cp = text[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return out;
}

}  // namespace kelvorat::cli
