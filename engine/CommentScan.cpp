#include "engine/CommentScan.h"

#include <cstring>
#include <vector>

#include "engine/PlainScan.h"
#include "engine/UnitSet.h"
#include "platform/CaseFold.h"

namespace kelvorat {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kMaxEntries = 64;

// Every code unit that equals `unit` ignoring case.
void AddCaseVariants(UnitSet& set, char16_t unit) {
  char16_t variants[8];
  const std::size_t n = platform::CaseVariants(unit, variants, 8);
  for (std::size_t i = 0; i < n && i < 8; ++i) set.Add(variants[i]);
}

WideText Folded(WideView s) {
  WideText f(s);
  for (char16_t& u : f) u = platform::FoldCase(u);
  return f;
}

// Whether `pattern` (whose case-insensitive form is `folded`) stands at `at`.
bool MatchesAt(const char16_t* text, std::size_t n, std::size_t at, const WideText& pattern,
               const WideText& folded) {
  const std::size_t m = pattern.size();
  if (m == 0 || m > n - at) return false;
  for (std::size_t k = 0; k < m; ++k) {
    const char16_t u = text[at + k];
    if (u != pattern[k] && platform::FoldCase(u) != folded[k]) return false;
  }
  return true;
}

struct PlanEntry {
  const TBraceInfo* info;
  WideText foldedOpener;
  WideText foldedCloser;
  UnitSet closerStarts;  // where a closer search may stop
};

// A table prepared for scanning: which entries an opener candidate may belong
// to, by its first code unit.
class ScanPlan {
 public:
  explicit ScanPlan(const TBraceTable& table) {
    entries_.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
      const TBraceInfo& info = table[i];
      PlanEntry e{&info, Folded(info.StartBrace), Folded(info.EndBrace), UnitSet()};
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (info.Opener == OpenerKind::LineBreak) {
        AddStart(u'\r', bit);
        AddStart(u'\n', bit);
      } else if (!info.StartBrace.empty()) {
        char16_t variants[8];
        const std::size_t n = platform::CaseVariants(info.StartBrace[0], variants, 8);
        for (std::size_t v = 0; v < n && v < 8; ++v) AddStart(variants[v], bit);
      }
      switch (info.Closer) {
        case CloserKind::None:
          break;
        case CloserKind::EndOfLine:
          e.closerStarts.Add(u'\r');
          e.closerStarts.Add(u'\n');
          break;
        case CloserKind::TextWithEscapes:
          e.closerStarts.Add(u'\\');
          [[fallthrough]];
        case CloserKind::Text:
          if (!info.EndBrace.empty()) AddCaseVariants(e.closerStarts, info.EndBrace[0]);
          break;
      }
      entries_.push_back(std::move(e));
    }
  }

  const PlanEntry& Entry(std::size_t i) const { return entries_[i]; }
  const UnitSet& OpenerStarts() const { return openerStarts_; }

  std::uint64_t EntriesStartingWith(char16_t u) const {
    if (u < 128) return asciiMask_[u];
    for (const auto& [unit, mask] : otherMasks_) {
      if (unit == u) return mask;
    }
    return 0;
  }

 private:
  void AddStart(char16_t u, std::uint64_t bit) {
    openerStarts_.Add(u);
    if (u < 128) {
      asciiMask_[u] |= bit;
      return;
    }
    for (auto& [unit, mask] : otherMasks_) {
      if (unit == u) {
        mask |= bit;
        return;
      }
    }
    otherMasks_.emplace_back(u, bit);
  }

  std::vector<PlanEntry> entries_;
  UnitSet openerStarts_;
  std::uint64_t asciiMask_[128] = {};
  std::vector<std::pair<char16_t, std::uint64_t>> otherMasks_;
};

struct Match {
  std::size_t pos = kNone;
  std::size_t length = 0;
  std::size_t entry = 0;
};

class Scanner {
 public:
  Scanner(WideView text, const ScanPlan& plan, StretchSink& sink)
      : t_(text.data()), n_(text.size()), plan_(plan), sink_(sink) {}

  void Delete() {
    std::size_t cur = 0;
    for (;;) {
      const Match m = FindOpener(cur);
      if (m.pos == kNone) {
        Keep(cur, n_);
        break;
      }
      const PlanEntry& e = plan_.Entry(m.entry);
      const TBraceInfo& info = *e.info;
      if (!info.IsComment) {
        Keep(cur, m.pos + m.length);
        cur = m.pos + m.length;
        if (info.Closer == CloserKind::None) continue;
        std::size_t closerLength = 0;
        const std::size_t q = FindCloser(e, cur, closerLength);
        if (q == kNone) {
          Keep(cur, n_);
          break;
        }
        Keep(cur, q + closerLength);
        cur = q + closerLength;
      } else {
        Keep(cur, m.pos);
        cur = m.pos + m.length;
        if (info.Closer == CloserKind::None) continue;
        std::size_t closerLength = 0;
        const std::size_t q = FindCloser(e, cur, closerLength);
        if (q == kNone) break;  // an unclosed comment runs to the end
        // A line comment leaves its line break, which goes out with what follows.
        cur = info.Closer == CloserKind::EndOfLine ? q : q + closerLength;
      }
    }
    Flush();
  }

  void Extract() {
    std::size_t cur = 0;
    for (;;) {
      const Match m = FindOpener(cur);
      if (m.pos == kNone) break;
      const PlanEntry& e = plan_.Entry(m.entry);
      const TBraceInfo& info = *e.info;
      cur = m.pos + m.length;
      if (!info.IsComment) {
        if (info.Closer == CloserKind::None) continue;
        std::size_t closerLength = 0;
        const std::size_t q = FindCloser(e, cur, closerLength);
        if (q == kNone) break;  // nothing after an unclosed protected region counts
        cur = q + closerLength;
        continue;
      }
      if (info.Closer == CloserKind::None) {
        Keep(m.pos, cur);  // the opener alone: a line break
        continue;
      }
      std::size_t closerLength = 0;
      const std::size_t q = FindCloser(e, cur, closerLength);
      if (q == kNone) {
        Keep(m.pos, n_);
        break;
      }
      // A line comment stops before its line break; the line-break row copies it.
      cur = info.Closer == CloserKind::EndOfLine ? q : q + closerLength;
      Keep(m.pos, cur);
    }
    Flush();
  }

 private:
  Match FindOpener(std::size_t from) const {
    const UnitSet& starts = plan_.OpenerStarts();
    const char16_t* const last = t_ + n_;
    const char16_t* p = t_ + from;
    for (;;) {
      p = starts.FindIn(p, last);
      if (p == last) return Match{};
      const auto c = static_cast<std::size_t>(p - t_);
      for (std::uint64_t mask = plan_.EntriesStartingWith(*p); mask != 0; mask &= mask - 1) {
        const auto i = static_cast<std::size_t>(__builtin_ctzll(mask));
        const std::size_t length = OpenerLengthAt(plan_.Entry(i), c);
        if (length != 0) return Match{c, length, i};
      }
      ++p;
    }
  }

  // The length of the entry's opener at c, or 0 where it does not count.
  std::size_t OpenerLengthAt(const PlanEntry& e, std::size_t c) const {
    const TBraceInfo& info = *e.info;
    switch (info.Opener) {
      case OpenerKind::LineBreak:
        if (t_[c] == u'\r') return (c + 1 < n_ && t_[c + 1] == u'\n') ? 2 : 1;
        return t_[c] == u'\n' ? 1 : 0;
      case OpenerKind::Text:
        return MatchesAt(t_, n_, c, info.StartBrace, e.foldedOpener) ? info.StartBrace.size() : 0;
      case OpenerKind::WholeWord: {
        const std::size_t m = info.StartBrace.size();
        if (!MatchesAt(t_, n_, c, info.StartBrace, e.foldedOpener)) return 0;
        if (c > 0 && IsIdentifierUnit(t_[c - 1])) return 0;
        if (c + m < n_ && IsIdentifierUnit(t_[c + m])) return 0;
        return m;
      }
    }
    return 0;
  }

  // The position of the entry's closer from `from` on, or kNone.
  std::size_t FindCloser(const PlanEntry& e, std::size_t from, std::size_t& length) const {
    const TBraceInfo& info = *e.info;
    const char16_t* const last = t_ + n_;
    const char16_t* p = t_ + from;
    for (;;) {
      p = e.closerStarts.FindIn(p, last);
      if (p == last) return kNone;
      const auto c = static_cast<std::size_t>(p - t_);
      switch (info.Closer) {
        case CloserKind::EndOfLine:
          length = 0;
          return c;
        case CloserKind::TextWithEscapes:
          if (*p == u'\\') {
            // The escaped code unit is stepped over, whatever it is.
            if (last - p <= 2) return kNone;
            p += 2;
            continue;
          }
          [[fallthrough]];
        case CloserKind::Text:
          if (MatchesAt(t_, n_, c, info.EndBrace, e.foldedCloser)) {
            length = info.EndBrace.size();
            return c;
          }
          ++p;
          continue;
        case CloserKind::None:
          return kNone;
      }
    }
  }

  void Keep(std::size_t begin, std::size_t end) {
    if (begin >= end) return;
    if (begin == pendingEnd_) {
      pendingEnd_ = end;
      return;
    }
    Flush();
    pendingBegin_ = begin;
    pendingEnd_ = end;
  }

  void Flush() {
    if (pendingBegin_ < pendingEnd_) sink_.Keep(pendingBegin_, pendingEnd_);
    pendingBegin_ = pendingEnd_;
  }

  const char16_t* t_;
  std::size_t n_;
  const ScanPlan& plan_;
  StretchSink& sink_;
  std::size_t pendingBegin_ = 0;
  std::size_t pendingEnd_ = 0;
};

class TextSink final : public StretchSink {
 public:
  TextSink(WideView text, WideText& out) : text_(text), out_(out) {}
  void Keep(std::size_t begin, std::size_t end) override {
    out_.append(text_.data() + begin, end - begin);
  }

 private:
  WideView text_;
  WideText& out_;
};

void Run(ScanKind kind, WideView text, const TBraceTable& table, WideText& out) {
  out.clear();
  // Room for the longest possible result, so that appending never moves it;
  // pages an extraction never writes are never touched.
  out.reserve(text.size());
  TextSink sink(text, out);
  ScanComments(kind, text, table, sink);
}

}  // namespace

void ScanComments(ScanKind Kind, WideView Text, const TBraceTable& Table, StretchSink& Sink) {
  if (Table.size() > kMaxEntries) {
    // Beyond what the fast scan indexes: the step-by-step scan gives the same result.
    PlainScanComments(Kind, Text, Table, Sink);
    return;
  }
  const ScanPlan plan(Table);
  Scanner scanner(Text, plan, Sink);
  if (Kind == ScanKind::Delete) {
    scanner.Delete();
  } else {
    scanner.Extract();
  }
}

void DeleteComments(WideView Text, const TBraceTable& Table, WideText& Result) {
  Run(ScanKind::Delete, Text, Table, Result);
}

void ExtractComments(WideView Text, const TBraceTable& Table, WideText& Result) {
  Run(ScanKind::Extract, Text, Table, Result);
}

WideText DeleteComments(WideView Text, const TBraceTable& Table) {
  WideText result;
  Run(ScanKind::Delete, Text, Table, result);
  return result;
}

WideText ExtractComments(WideView Text, const TBraceTable& Table) {
  WideText result;
  Run(ScanKind::Extract, Text, Table, result);
  return result;
}

void CopyRange(std::int32_t From, std::int32_t To, std::int32_t& OutPos, std::int32_t& SrcPos,
               WideText& Dest, WideView Source) {
  if (To < From) return;
  const std::int32_t count = To - From + 1;
  std::memcpy(Dest.data() + (OutPos - 1), Source.data() + (SrcPos - 1),
              static_cast<std::size_t>(count) * sizeof(char16_t));
  OutPos += count;
  SrcPos += count;
}

}  // namespace kelvorat
