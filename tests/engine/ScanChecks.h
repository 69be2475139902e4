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

// Runs one scan of Text with Table every way the engine offers and answers
// what went wrong, or the empty string when all of this holds:
// - the fast scan (DeleteComments / ExtractComments) gives what the
//   step-by-step scan gives;
// - ScanComments reports stretches of the input that are non-empty, inside
//   the text, in increasing order, apart from one another (adjacent ones
//   arrive merged), and whose concatenation is the output;
// - the step-by-step scan reports the very same stretches;
// - the output is never longer than the input.
inline std::string CheckScan(ScanKind kind, WideView text, const TBraceTable& table) {
  const bool del = kind == ScanKind::Delete;
  const WideText fast = del ? DeleteComments(text, table) : ExtractComments(text, table);
  const WideText plain = del ? PlainDeleteComments(text, table) : PlainExtractComments(text, table);
  if (fast != plain) {
    return "fast scan gives " + Show(fast) + " but the plain scan gives " + Show(plain);
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
  return {};
}

}  // namespace kelvorat::testing
