// Checks shared by the engine tests and the fuzz target: a visible form of
// wide text, and the properties every scan must have whatever the text and
// the table.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/BraceTable.h"
#include "engine/CommentScan.h"
#include "engine/PlainScan.h"

namespace kelvorat::testing {

// Wide text as printable ASCII: a backslash is doubled, CR and LF read \r and
// \n, every other code unit outside ' '..'~' reads \uXXXX. Two texts have the
// same form only when they are equal.
inline std::string Show(WideView text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char16_t u : text) {
    if (u == u'\\') {
      out += "\\\\";
    } else if (u == u'\r') {
      out += "\\r";
    } else if (u == u'\n') {
      out += "\\n";
    } else if (u == u'"') {
      out += "\\\"";
    } else if (u >= 0x20 && u <= 0x7E) {
      out += static_cast<char>(u);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(u));
      out += buffer;
    }
  }
  out += '"';
  return out;
}

struct Stretch {
  std::size_t begin;
  std::size_t end;
  bool operator==(const Stretch&) const = default;
};

class StretchCollector final : public StretchSink {
 public:
  void Keep(std::size_t begin, std::size_t end) override { stretches.push_back({begin, end}); }
  std::vector<Stretch> stretches;
};

inline std::string ShowStretches(const std::vector<Stretch>& stretches) {
  std::string out;
  for (const Stretch& s : stretches) {
    out += '[' + std::to_string(s.begin) + ',' + std::to_string(s.end) + ')';
  }
  return out.empty() ? "none" : out;
}

// A table, one row a line.
inline std::string ShowTable(const TBraceTable& table) {
  std::string out;
  for (const TBraceInfo& row : table) {
    out += "\n  {" + Show(row.StartBrace) + ", " + Show(row.EndBrace) +
           (row.IsComment ? ", comment" : ", protected") +
           ", opener kind " + std::to_string(static_cast<int>(row.Opener)) +
           ", closer kind " + std::to_string(static_cast<int>(row.Closer)) + "}";
  }
  return out;
}

// UTF-8 of Text, and for every code unit boundary of Text its byte offset
// (kNoOffset between the halves of a surrogate pair). False when Text holds
// a lone surrogate, which UTF-8 cannot carry.
inline constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

inline bool EncodeUtf8(WideView text, std::string& bytes, std::vector<std::size_t>& offsets) {
  bytes.clear();
  offsets.assign(text.size() + 1, kNoOffset);
  for (std::size_t i = 0; i < text.size();) {
    offsets[i] = bytes.size();
    char32_t c = text[i];
    std::size_t step = 1;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      step = 2;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
    auto put = [&](char32_t b) { bytes += static_cast<char>(static_cast<unsigned char>(b)); };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | (c >> 6));
      put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      put(0xE0 | (c >> 12));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | (c >> 18));
      put(0x80 | ((c >> 12) & 0x3F));
      put(0x80 | ((c >> 6) & 0x3F));
      put(0x80 | (c & 0x3F));
    }
    i += step;
  }
  offsets[text.size()] = bytes.size();
  return true;
}

// The scan of the UTF-8 form of Text (when it has one) against the stretches
// that the scan of Text keeps: either it declines and sends nothing, or its
// stretches are those in byte offsets. With mustApply, declining is a fault.
inline std::string CheckScanUtf8(ScanKind kind, WideView text, const TBraceTable& table,
                                 const std::vector<Stretch>& wide, bool mustApply) {
  std::string bytes;
  std::vector<std::size_t> offsets;
  if (!EncodeUtf8(text, bytes, offsets)) return {};
  StretchCollector narrow;
  if (!ScanCommentsUtf8(kind, bytes, table, narrow)) {
    if (!narrow.stretches.empty()) return "the UTF-8 scan declined but kept " + ShowStretches(narrow.stretches);
    if (mustApply) return "the UTF-8 scan declined a table whose delimiters are ASCII in every case";
    return {};
  }
  std::vector<Stretch> mapped;
  for (const Stretch& s : wide) {
    if (offsets[s.begin] == kNoOffset || offsets[s.end] == kNoOffset) {
      return "UTF-16 stretch " + ShowStretches({s}) + " cuts a surrogate pair";
    }
    mapped.push_back({offsets[s.begin], offsets[s.end]});
  }
  if (mapped != narrow.stretches) {
    return "the UTF-8 scan keeps bytes " + ShowStretches(narrow.stretches) +
           " but the UTF-16 scan keeps " + ShowStretches(mapped);
  }
  return {};
}

// Runs one scan of Text with Table every way the engine offers and answers
// what went wrong, or the empty string when all of this holds:
// - the fast scan (DeleteComments / ExtractComments, in both forms) gives
//   what the step-by-step scan gives;
// - ScanComments reports stretches of the input that are non-empty, inside
//   the text, in increasing order, apart from one another (adjacent ones
//   arrive merged), and whose concatenation is the output;
// - the step-by-step scan reports the very same stretches;
// - the output is never longer than the input;
// - the scan of the UTF-8 form of the text agrees (CheckScanUtf8).
// The output goes to *output when it is given.
inline std::string CheckScan(ScanKind kind, WideView text, const TBraceTable& table,
                             bool utf8MustApply = false, WideText* output = nullptr) {
  const bool del = kind == ScanKind::Delete;
  const WideText fast = del ? DeleteComments(text, table) : ExtractComments(text, table);
  const WideText plain = del ? PlainDeleteComments(text, table) : PlainExtractComments(text, table);
  if (output != nullptr) *output = fast;
  if (fast != plain) {
    return "fast scan gives " + Show(fast) + " but the plain scan gives " + Show(plain);
  }
  // The form that hands the result back through a parameter discards what
  // the parameter held.
  WideText reused(u"stale content that must go");
  if (del) {
    DeleteComments(text, table, reused);
  } else {
    ExtractComments(text, table, reused);
  }
  if (reused != fast) {
    return "the result-parameter form gives " + Show(reused) + " but the returning form gives " +
           Show(fast);
  }
  if (fast.size() > text.size()) {
    return "output " + Show(fast) + " is longer than the input";
  }

  StretchCollector fastStretches;
  ScanComments(kind, text, table, fastStretches);
  WideText joined;
  std::size_t previousEnd = 0;
  for (std::size_t i = 0; i < fastStretches.stretches.size(); ++i) {
    const Stretch& s = fastStretches.stretches[i];
    const std::string which = "stretch " + std::to_string(i) + " of " +
                              ShowStretches(fastStretches.stretches);
    if (s.begin >= s.end) return which + " is empty or reversed";
    if (s.end > text.size()) return which + " passes the end of the text";
    if (i > 0 && s.begin < previousEnd) return which + " overlaps or goes back";
    if (i > 0 && s.begin == previousEnd) return which + " touches the one before (not merged)";
    joined.append(text.substr(s.begin, s.end - s.begin));
    previousEnd = s.end;
  }
  if (joined != fast) {
    return "stretches " + ShowStretches(fastStretches.stretches) + " spell " + Show(joined) +
           " but the output is " + Show(fast);
  }

  StretchCollector plainStretches;
  PlainScanComments(kind, text, table, plainStretches);
  if (plainStretches.stretches != fastStretches.stretches) {
    return "fast scan keeps " + ShowStretches(fastStretches.stretches) +
           " but the plain scan keeps " + ShowStretches(plainStretches.stretches);
  }
  return CheckScanUtf8(kind, text, table, fastStretches.stretches, utf8MustApply);
}

}  // namespace kelvorat::testing
