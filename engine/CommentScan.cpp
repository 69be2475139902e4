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

// What the scan needs to know of its code units.
template <class Unit>
struct UnitTraits;

template <>
struct UnitTraits<char16_t> {
  static char16_t Fold(char16_t u) noexcept { return platform::FoldCase(u); }
  // Whether an identifier character ends right before position c.
  static bool IdentifierBefore(const char16_t* t, std::size_t c) noexcept {
    return c > 0 && IsIdentifierUnit(t[c - 1]);
  }
  // Whether an identifier character begins at position e.
  static bool IdentifierAt(const char16_t* t, std::size_t n, std::size_t e) noexcept {
    return e < n && IsIdentifierUnit(t[e]);
  }
};

// UTF-8 bytes. Every delimiter is ASCII here (see Utf8Eligible), and a byte
// from 0x80 up belongs to a character that is an identifier character unless
// it is U+00A0 (C2 A0) or U+3000 (E3 80 80).
template <>
struct UnitTraits<unsigned char> {
  static unsigned char Fold(unsigned char u) noexcept {
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 0x20) : u;
  }
  static bool IdentifierBefore(const unsigned char* t, std::size_t c) noexcept {
    if (c == 0) return false;
    const unsigned char b = t[c - 1];
    if (b < 0x80) return IsIdentifierUnit(b);
    if (b == 0xA0 && c >= 2 && t[c - 2] == 0xC2) return false;
    if (b == 0x80 && c >= 3 && t[c - 2] == 0x80 && t[c - 3] == 0xE3) return false;
    return true;
  }
  static bool IdentifierAt(const unsigned char* t, std::size_t n, std::size_t e) noexcept {
    if (e >= n) return false;
    const unsigned char b = t[e];
    if (b < 0x80) return IsIdentifierUnit(b);
    if (b == 0xC2 && e + 1 < n && t[e + 1] == 0xA0) return false;
    if (b == 0xE3 && e + 2 < n && t[e + 1] == 0x80 && t[e + 2] == 0x80) return false;
    return true;
  }
};

WideText Folded(WideView s) {
  WideText f(s);
  for (char16_t& u : f) u = platform::FoldCase(u);
  return f;
}

// Whether `pattern` (whose case-insensitive form is `folded`) stands at `at`.
template <class Unit>
bool MatchesAt(const Unit* text, std::size_t n, std::size_t at, const WideText& pattern,
               const WideText& folded) {
  const std::size_t m = pattern.size();
  if (m == 0 || m > n - at) return false;
  for (std::size_t k = 0; k < m; ++k) {
    const Unit u = text[at + k];
    if (u != pattern[k] && UnitTraits<Unit>::Fold(u) != folded[k]) return false;
  }
  return true;
}

// Every code unit that equals `unit` ignoring case.
template <class Unit, class Add>
void ForEachCaseVariant(char16_t unit, Add add) {
  char16_t variants[8];
  const std::size_t n = platform::CaseVariants(unit, variants, 8);
  for (std::size_t i = 0; i < n && i < 8; ++i) {
    if (sizeof(Unit) == 1 && variants[i] >= 0x80) continue;  // cannot stand in ASCII bytes
    add(static_cast<Unit>(variants[i]));
  }
}

// Whether every delimiter of the table, in every letter case, is ASCII, so
// that UTF-8 bytes can be scanned as they are.
bool Utf8Eligible(const TBraceTable& table) {
  auto ascii = [](WideView s) {
    for (char16_t u : s) {
      char16_t variants[8];
      const std::size_t n = platform::CaseVariants(u, variants, 8);
      for (std::size_t i = 0; i < n && i < 8; ++i) {
        if (variants[i] >= 0x80) return false;
      }
      if (n > 8) return false;
    }
    return true;
  };
  for (const TBraceInfo& e : table) {
    if (e.Opener != OpenerKind::LineBreak && !ascii(e.StartBrace)) return false;
    if ((e.Closer == CloserKind::Text || e.Closer == CloserKind::TextWithEscapes) && !ascii(e.EndBrace)) {
      return false;
    }
  }
  return true;
}

template <class Unit>
struct PlanEntry {
  const TBraceInfo* info;
  WideText foldedOpener;
  WideText foldedCloser;
  BasicUnitSet<Unit> closerStarts;  // where a closer search may stop
};

// A table prepared for scanning: which entries an opener candidate may belong
// to, by its first code unit.
template <class Unit>
class ScanPlan {
 public:
  explicit ScanPlan(const TBraceTable& table) {
    entries_.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
      const TBraceInfo& info = table[i];
      PlanEntry<Unit> e{&info, Folded(info.StartBrace), Folded(info.EndBrace), {}};
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (info.Opener == OpenerKind::LineBreak) {
        AddStart(u'\r', bit);
        AddStart(u'\n', bit);
      } else if (!info.StartBrace.empty()) {
        ForEachCaseVariant<Unit>(info.StartBrace[0], [&](Unit u) { AddStart(u, bit); });
      }
      switch (info.Closer) {
        case CloserKind::None:
          break;
        case CloserKind::EndOfLine:
          e.closerStarts.Add(static_cast<Unit>(u'\r'));
          e.closerStarts.Add(static_cast<Unit>(u'\n'));
          break;
        case CloserKind::TextWithEscapes:
          e.closerStarts.Add(static_cast<Unit>(u'\\'));
          [[fallthrough]];
        case CloserKind::Text:
          if (!info.EndBrace.empty()) {
            ForEachCaseVariant<Unit>(info.EndBrace[0], [&](Unit u) { e.closerStarts.Add(u); });
          }
          break;
      }
      entries_.push_back(std::move(e));
    }
  }

  // False when the table's openers begin with more distinct code units than
  // the opener search holds; the step-by-step scan then does the work.
  bool Fits() const { return fits_; }
  const PlanEntry<Unit>& Entry(std::size_t i) const { return entries_[i]; }
  const BasicUnitSet<Unit>& OpenerStarts() const { return openerStarts_; }

  std::uint64_t EntriesStartingWith(Unit u) const {
    if (u < 128) return asciiMask_[u];
    for (const auto& [unit, mask] : otherMasks_) {
      if (unit == u) return mask;
    }
    return 0;
  }

 private:
  void AddStart(Unit u, std::uint64_t bit) {
    if (!openerStarts_.TryAdd(u)) {
      fits_ = false;
      return;
    }
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

  std::vector<PlanEntry<Unit>> entries_;
  bool fits_ = true;
  BasicUnitSet<Unit> openerStarts_;
  std::uint64_t asciiMask_[128] = {};
  std::vector<std::pair<Unit, std::uint64_t>> otherMasks_;
};

struct Match {
  std::size_t pos = kNone;
  std::size_t length = 0;
  std::size_t entry = 0;
};

template <class Unit>
class Scanner {
 public:
  Scanner(const Unit* text, std::size_t n, const ScanPlan<Unit>& plan, StretchSink& sink)
      : t_(text), n_(n), plan_(plan), sink_(sink) {}

  void Delete() {
    std::size_t cur = 0;
    for (;;) {
      const Match m = FindOpener(cur);
      if (m.pos == kNone) {
        Keep(cur, n_);
        break;
      }
      const PlanEntry<Unit>& e = plan_.Entry(m.entry);
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
      const PlanEntry<Unit>& e = plan_.Entry(m.entry);
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
    const BasicUnitSet<Unit>& starts = plan_.OpenerStarts();
    const Unit* const last = t_ + n_;
    const Unit* p = t_ + from;
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
  std::size_t OpenerLengthAt(const PlanEntry<Unit>& e, std::size_t c) const {
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
        if (UnitTraits<Unit>::IdentifierBefore(t_, c)) return 0;
        if (UnitTraits<Unit>::IdentifierAt(t_, n_, c + m)) return 0;
        return m;
      }
    }
    return 0;
  }

  // The position of the entry's closer from `from` on, or kNone.
  std::size_t FindCloser(const PlanEntry<Unit>& e, std::size_t from, std::size_t& length) const {
    const TBraceInfo& info = *e.info;
    const Unit* const last = t_ + n_;
    const Unit* p = t_ + from;
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
            // The escaped code unit is stepped over, whatever it is. In UTF-8
            // the rest of a stepped-over character is continuation bytes,
            // which match no delimiter.
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

  const Unit* t_;
  std::size_t n_;
  const ScanPlan<Unit>& plan_;
  StretchSink& sink_;
  std::size_t pendingBegin_ = 0;
  std::size_t pendingEnd_ = 0;
};

// Answers false, having sent nothing, when the table does not fit the plan.
template <class Unit>
bool Scan(ScanKind kind, const Unit* text, std::size_t n, const TBraceTable& table, StretchSink& sink) {
  if (table.size() > kMaxEntries) return false;
  const ScanPlan<Unit> plan(table);
  if (!plan.Fits()) return false;
  Scanner<Unit> scanner(text, n, plan, sink);
  if (kind == ScanKind::Delete) {
    scanner.Delete();
  } else {
    scanner.Extract();
  }
  return true;
}

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
  if (Scan(Kind, Text.data(), Text.size(), Table, Sink)) return;
  // Beyond what the fast scan indexes: the step-by-step scan gives the same result.
  PlainScanComments(Kind, Text, Table, Sink);
}

bool ScanCommentsUtf8(ScanKind Kind, std::string_view Bytes, const TBraceTable& Table, StretchSink& Sink) {
  if (!Utf8Eligible(Table)) return false;
  return Scan(Kind, reinterpret_cast<const unsigned char*>(Bytes.data()), Bytes.size(), Table, Sink);
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
