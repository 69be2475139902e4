#include "cli/Transform.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "cli/Cp932.h"
#include "cli/Utf8.h"

namespace kelvorat::cli {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool HasPrefix(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

const std::string_view kBomUtf8("\xEF\xBB\xBF", 3);
const std::string_view kBomUtf16LE("\xFF\xFE", 2);
const std::string_view kBomUtf16BE("\xFE\xFF", 2);

std::string_view BomOf(Encoding e) {
  switch (e) {
    case Encoding::Utf8: return kBomUtf8;
    case Encoding::Utf16LE: return kBomUtf16LE;
    case Encoding::Utf16BE: return kBomUtf16BE;
    case Encoding::Cp932: break;
  }
  return {};
}

char16_t Unit16(const unsigned char* p, bool bigEndian) {
  return bigEndian ? static_cast<char16_t>(p[0] << 8 | p[1]) : static_cast<char16_t>(p[1] << 8 | p[0]);
}

// UTF-16 is valid when it has whole code units and every surrogate is paired.
bool ValidUtf16(std::string_view bytes, bool bigEndian, std::size_t& errorOffset) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  // 64 code units at a time, in a loop the compiler turns into vector code:
  // a unit whose top five bits read 11011 is a surrogate. Units are loaded
  // as this machine reads them, so the bits sit where its byte order puts them.
  const bool swapped = bigEndian == (std::endian::native == std::endian::little);
  const std::uint16_t mask = swapped ? 0x00F8 : 0xF800;
  const std::uint16_t pattern = swapped ? 0x00D8 : 0xD800;
  std::size_t i = 0;
  while (i < units) {
    const std::size_t blockEnd = units - i >= 64 ? i + 64 : units;
    if (blockEnd - i == 64) {
      std::uint16_t block[64];
      std::memcpy(block, s + 2 * i, sizeof block);
      std::uint16_t found = 0;
      for (const std::uint16_t u : block) found |= static_cast<std::uint16_t>((u & mask) == pattern);
      if (found == 0) {
        i = blockEnd;
        continue;
      }
    }
    while (i < blockEnd) {
      const char16_t u = Unit16(s + 2 * i, bigEndian);
      if (u < 0xD800 || u > 0xDFFF) {
        ++i;
        continue;
      }
      if (u <= 0xDBFF && i + 1 < units) {
        const char16_t next = Unit16(s + 2 * (i + 1), bigEndian);
        if (next >= 0xDC00 && next <= 0xDFFF) {
          i += 2;  // may end one past the block
          continue;
        }
      }
      errorOffset = 2 * i;
      return false;
    }
  }
  if (bytes.size() % 2 != 0) {
    errorOffset = bytes.size() - 1;
    return false;
  }
  return true;
}

bool Valid(std::string_view text, Encoding e, std::size_t& errorOffset) {
  switch (e) {
    case Encoding::Utf8: return ValidUtf8(text, errorOffset);
    case Encoding::Utf16LE: return ValidUtf16(text, false, errorOffset);
    case Encoding::Utf16BE: return ValidUtf16(text, true, errorOffset);
    case Encoding::Cp932: return ValidCp932(text, errorOffset);
  }
  return false;
}

// Copies the input's bytes of each kept stretch when stretches are counted
// in the input's own bytes (after the BOM).
class ByteStretches final : public StretchSink {
 public:
  ByteStretches(const char* base, ByteSink& out) : base_(base), out_(out) {}
  void Keep(std::size_t begin, std::size_t end) override { out_.Put(base_ + begin, end - begin); }

 private:
  const char* base_;
  ByteSink& out_;
};

// The same when every code unit is two bytes.
class Utf16Stretches final : public StretchSink {
 public:
  Utf16Stretches(const char* base, ByteSink& out) : base_(base), out_(out) {}
  void Keep(std::size_t begin, std::size_t end) override {
    out_.Put(base_ + 2 * begin, 2 * (end - begin));
  }

 private:
  const char* base_;
  ByteSink& out_;
};

// Maps code-unit stretches of decoded text back to the input's bytes with one
// forward pass: stretches arrive in order, so the position reached by one is
// where the search for the next starts. Step tells, for the byte that starts
// a character, its length in bytes and in code units.
template <class Step>
class MappedStretches final : public StretchSink {
 public:
  MappedStretches(std::string_view bytes, ByteSink& out)
      : s_(reinterpret_cast<const unsigned char*>(bytes.data())), n_(bytes.size()), out_(out) {}

  void Keep(std::size_t begin, std::size_t end) override {
    const std::size_t from = ByteAt(begin);
    const std::size_t to = ByteAt(end);
    out_.Put(reinterpret_cast<const char*>(s_) + from, to - from);
  }

 private:
  // Precondition: unit is at or after the last one asked for and starts a
  // character (every delimiter is a whole character).
  std::size_t ByteAt(std::size_t unit) {
    while (unit_ < unit && byte_ < n_) {
      // ASCII: one byte, one code unit, in every encoding mapped here.
      while (unit - unit_ >= 8 && n_ - byte_ >= 8) {
        std::uint64_t w;
        std::memcpy(&w, s_ + byte_, 8);
        if ((w & kHighBits) != 0) break;
        unit_ += 8;
        byte_ += 8;
      }
      if (unit_ >= unit) break;
      const unsigned char c = s_[byte_];
      if (c < 0x80) {
        ++unit_;
        ++byte_;
        continue;
      }
      std::size_t bytes = 1;
      std::size_t units = 1;
      Step::Of(c, bytes, units);
      byte_ += bytes;
      unit_ += units;
    }
    return std::min(byte_, n_);
  }

  const unsigned char* s_;
  std::size_t n_;
  ByteSink& out_;
  std::size_t unit_ = 0;
  std::size_t byte_ = 0;
};

struct Cp932Step {
  static void Of(unsigned char c, std::size_t& bytes, std::size_t& units) {
    bytes = Cp932Single(c) == kCp932Lead ? 2 : 1;
    units = 1;
  }
};

struct Utf8Step {
  static void Of(unsigned char c, std::size_t& bytes, std::size_t& units) {
    bytes = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    units = c >= 0xF0 ? 2 : 1;
  }
};

// Whether ch, in either letter case, is in a delimiter of the table; a
// backslash, CR and LF always count, for escapes and line ends.
bool Special(char ch, const TBraceTable& table) {
  const auto lower = [](char16_t u) { return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + 32) : u; };
  if (ch == '\\' || ch == '\r' || ch == '\n') return true;
  for (const TBraceInfo& row : table) {
    for (const WideText* d : {&row.StartBrace, &row.EndBrace}) {
      for (const char16_t u : *d) {
        if (lower(u) == lower(static_cast<char16_t>(static_cast<unsigned char>(ch)))) return true;
      }
    }
  }
  return false;
}

// Code page 932 text rewritten in place, byte for byte, as UTF-8 that the
// scan treats as it treats the text: ASCII stays; a two-byte character
// becomes U+0080 (a word character) or U+00A0 (not one: U+3000), both two
// bytes; a one-byte character becomes an ASCII character in no delimiter,
// a word character or not as it is. Stretches found in it are then byte
// offsets of the text itself. Only bytes that change are written, so the
// pages of a copy-on-write mapping that hold only ASCII stay shared.
// Answers false when the table leaves no such ASCII characters.
bool Cp932Shadow(std::string_view text, const TBraceTable& table, char* shadow) {
  char word = 0;
  char other = 0;
  for (const char ch : std::string_view("_0123456789xqzjkv")) {
    if (!Special(ch, table)) {
      word = ch;
      break;
    }
  }
  for (const char ch : std::string_view(" ,;:#%&!?")) {
    if (!Special(ch, table)) {
      other = ch;
      break;
    }
  }
  if (word == 0 || other == 0) return false;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    if (n - i >= 32) {
      std::uint64_t w[4];
      std::memcpy(w, s + i, 32);
      if (((w[0] | w[1] | w[2] | w[3]) & kHighBits) == 0) {
        i += 32;
        continue;
      }
    }
    const std::size_t end = n - i >= 32 ? i + 32 : n;
    while (i < end) {  // a pair may end one byte past the block
      if (s[i] < 0x80) {
        ++i;
        continue;
      }
      const char16_t single = Cp932Single(s[i]);
      if (single == kCp932Lead) {
        const bool isWord = IsIdentifierUnit(Cp932Pair(s[i], s[i + 1]));
        shadow[i] = static_cast<char>(0xC2);
        shadow[i + 1] = static_cast<char>(isWord ? 0x80 : 0xA0);
        i += 2;
      } else {
        shadow[i] = IsIdentifierUnit(single) ? word : other;
        ++i;
      }
    }
  }
  return true;
}

// Scans UTF-8 bytes directly where the engine can, else the decoded text.
void ScanUtf8(ScanKind kind, std::string_view text, const TBraceTable& table, ByteSink& out) {
  ByteStretches direct(text.data(), out);
  if (ScanCommentsUtf8(kind, text, table, direct)) return;
  WideText wide;
  std::size_t bad = 0;
  DecodeUtf8(text, wide, bad);
  MappedStretches<Utf8Step> mapped(text, out);
  ScanComments(kind, wide, table, mapped);
}

// Each language's table, built once: many small files would otherwise spend
// a good part of their time building it.
const TBraceTable& CachedTable(Language language, ScanKind kind) {
  static const auto tables = [] {
    std::array<std::array<TBraceTable, 2>, 5> t;
    for (const Language l : {Language::C, Language::Cpp, Language::VB, Language::Pascal, Language::Html}) {
      for (const ScanKind k : {ScanKind::Delete, ScanKind::Extract}) {
        t[static_cast<std::size_t>(l)][static_cast<std::size_t>(k)] = LanguageTable(l, k);
      }
    }
    return t;
  }();
  return tables[static_cast<std::size_t>(language)][static_cast<std::size_t>(kind)];
}

}  // namespace

std::optional<Encoding> ParseEncoding(std::string_view name) {
  const std::string key = Lower(name);
  if (key == "utf-8" || key == "utf8") return Encoding::Utf8;
  if (key == "utf-16le" || key == "utf16le") return Encoding::Utf16LE;
  if (key == "utf-16be" || key == "utf16be") return Encoding::Utf16BE;
  if (key == "cp932" || key == "shift_jis" || key == "sjis" || key == "windows-31j") {
    return Encoding::Cp932;
  }
  return std::nullopt;
}

std::string_view EncodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8: return "UTF-8";
    case Encoding::Utf16LE: return "UTF-16LE";
    case Encoding::Utf16BE: return "UTF-16BE";
    case Encoding::Cp932: return "code page 932";
  }
  return "?";
}

bool DetectForm(std::string_view bytes, std::optional<Encoding> forced, TextForm& form,
                std::string& reason) {
  std::size_t bad = 0;
  if (forced) {
    form.encoding = *forced;
    form.bomLength = BomOf(*forced).empty() || !HasPrefix(bytes, BomOf(*forced)) ? 0 : BomOf(*forced).size();
    if (Valid(bytes.substr(form.bomLength), *forced, bad)) return true;
    reason = "not valid " + std::string(EncodingName(*forced)) + ": invalid byte sequence at byte offset " +
             std::to_string(form.bomLength + bad);
    return false;
  }
  for (Encoding e : {Encoding::Utf8, Encoding::Utf16LE, Encoding::Utf16BE}) {
    if (!HasPrefix(bytes, BomOf(e))) continue;
    form.encoding = e;
    form.bomLength = BomOf(e).size();
    if (Valid(bytes.substr(form.bomLength), e, bad)) return true;
    reason = "not valid " + std::string(EncodingName(e)) + " (after its BOM): invalid byte sequence at byte offset " +
             std::to_string(form.bomLength + bad);
    return false;
  }
  form.bomLength = 0;
  form.encoding = Encoding::Utf8;
  std::size_t badUtf8 = 0;
  if (ValidUtf8(bytes, badUtf8)) return true;
  form.encoding = Encoding::Cp932;
  if (ValidCp932(bytes, bad)) return true;
  reason = "invalid bytes: neither UTF-8 (invalid byte sequence at byte offset " + std::to_string(badUtf8) +
           ") nor code page 932 (at byte offset " + std::to_string(bad) + ")";
  return false;
}

void TransformBytes(std::string_view bytes, const TextForm& form, Language language, ScanKind kind,
                    ByteSink& out, char* scratch) {
  if (form.bomLength > 0) out.Put(bytes.data(), form.bomLength);
  const std::string_view text = bytes.substr(form.bomLength);
  if (text.empty()) return;
  const TBraceTable& table = CachedTable(language, kind);
  switch (form.encoding) {
    case Encoding::Utf8:
      ScanUtf8(kind, text, table, out);
      return;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
      Utf16Stretches mapped(text.data(), out);
      const std::size_t units = text.size() / 2;
      const bool native = (form.encoding == Encoding::Utf16LE) == (std::endian::native == std::endian::little);
      if (native && reinterpret_cast<std::uintptr_t>(text.data()) % alignof(char16_t) == 0) {
        // The bytes are the code units already.
        ScanComments(kind, WideView(reinterpret_cast<const char16_t*>(text.data()), units), table, mapped);
        return;
      }
      WideText wide(units, u'\0');
      const auto* s = reinterpret_cast<const unsigned char*>(text.data());
      const bool big = form.encoding == Encoding::Utf16BE;
      for (std::size_t i = 0; i < units; ++i) wide[i] = Unit16(s + 2 * i, big);
      ScanComments(kind, wide, table, mapped);
      return;
    }
    case Encoding::Cp932: {
      // The engine scans UTF-8 bytes fastest; a byte-for-byte stand-in of the
      // text keeps the stretches in the text's own byte offsets.
      std::string copy;
      char* shadow = scratch != nullptr ? scratch + form.bomLength : nullptr;
      if (shadow == nullptr) {
        copy.assign(text);
        shadow = copy.data();
      }
      ByteStretches direct(text.data(), out);
      if (Cp932Shadow(text, table, shadow) &&
          ScanCommentsUtf8(kind, std::string_view(shadow, text.size()), table, direct)) {
        return;
      }
      copy = std::string();
      WideText wide;
      DecodeCp932(text, wide);
      MappedStretches<Cp932Step> mapped(text, out);
      ScanComments(kind, wide, table, mapped);
      return;
    }
  }
}

std::optional<Language> LanguageForPath(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  const std::string ext = Lower(name.substr(dot + 1));
  struct Known {
    const char* ext;
    Language language;
  };
  static constexpr Known kKnown[] = {
      {"c", Language::C},        {"h", Language::C},        {"cpp", Language::Cpp},
      {"cc", Language::Cpp},     {"cxx", Language::Cpp},    {"hpp", Language::Cpp},
      {"hh", Language::Cpp},     {"hxx", Language::Cpp},    {"cs", Language::Cpp},
      {"java", Language::Cpp},   {"bas", Language::VB},     {"cls", Language::VB},
      {"frm", Language::VB},     {"vb", Language::VB},      {"vbs", Language::VB},
      {"pas", Language::Pascal}, {"pp", Language::Pascal},  {"dpr", Language::Pascal},
      {"lpr", Language::Pascal}, {"html", Language::Html},  {"htm", Language::Html},
      {"xhtml", Language::Html},
  };
  for (const Known& k : kKnown) {
    if (ext == k.ext) return k.language;
  }
  return std::nullopt;
}

}  // namespace kelvorat::cli
