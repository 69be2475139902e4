#include "engine/PlainScan.h"

namespace kelvorat {
namespace {

std::int32_t LengthOf(WideView s) {
  return s.size() > static_cast<std::size_t>(kThroughEnd) ? kThroughEnd
                                                          : static_cast<std::int32_t>(s.size());
}

// The first position from Start at which Entry's region ends, 0 if none; its
// length in Length.
std::int32_t CloserPosFrom(const TBraceInfo& Entry, WideView Text, std::int32_t Start,
                           std::int32_t& Length) {
  const std::int32_t n = LengthOf(Text);
  switch (Entry.Closer) {
    case CloserKind::None:
      return 0;
    case CloserKind::Text:
      Length = LengthOf(Entry.EndBrace);
      return PosFrom(Entry.EndBrace, Text, Start, kThroughEnd, true);
    case CloserKind::TextWithEscapes: {
      Length = LengthOf(Entry.EndBrace);
      if (Length == 0) return 0;
      for (std::int32_t i = Start; i >= 1 && i <= n;) {
        if (Text[static_cast<std::size_t>(i - 1)] == u'\\') {
          i += 2;
        } else if (i <= n - Length + 1 && CompareSubStr(Text, Entry.EndBrace, i, 1, Length, true)) {
          return i;
        } else {
          ++i;
        }
      }
      return 0;
    }
    case CloserKind::EndOfLine: {
      Length = 0;
      const std::int32_t cr = PosFrom(u"\r", Text, Start, kThroughEnd, true);
      const std::int32_t lf = PosFrom(u"\n", Text, Start, kThroughEnd, true);
      if (cr == 0) return lf;
      if (lf == 0) return cr;
      return cr < lf ? cr : lf;
    }
  }
  return 0;
}

// Copy(From, To) keeps the 1-based stretch From..To of the text.
template <class Copy>
void DeleteSteps(WideView Text, const TBraceTable& Table, Copy copy) {
  const std::int32_t n = LengthOf(Text);
  std::int32_t CurPos = 1;
  std::int32_t FoundPos = 0;
  TBraceInfo Found;
  for (;;) {
    if (!FindFirstBrace(Text, CurPos, Table, FoundPos, Found)) {
      copy(CurPos, n);
      return;
    }
    const std::int32_t openerEnd = FoundPos + OpenerLength(Found, Text, FoundPos);
    std::int32_t closerLength = 0;
    if (!Found.IsComment) {
      copy(CurPos, openerEnd - 1);
      CurPos = openerEnd;
      if (Found.Closer == CloserKind::None) continue;
      FoundPos = CloserPosFrom(Found, Text, CurPos, closerLength);
      if (FoundPos == 0) {
        copy(CurPos, n);
        return;
      }
      copy(CurPos, FoundPos + closerLength - 1);
      CurPos = FoundPos + closerLength;
    } else {
      copy(CurPos, FoundPos - 1);
      CurPos = openerEnd;
      if (Found.Closer == CloserKind::None) continue;
      FoundPos = CloserPosFrom(Found, Text, CurPos, closerLength);
      if (FoundPos == 0) return;
      CurPos = Found.Closer == CloserKind::EndOfLine ? FoundPos : FoundPos + closerLength;
    }
  }
}

template <class Copy>
void ExtractSteps(WideView Text, const TBraceTable& Table, Copy copy) {
  const std::int32_t n = LengthOf(Text);
  std::int32_t CurPos = 1;
  std::int32_t FoundPos = 0;
  TBraceInfo Found;
  for (;;) {
    if (!FindFirstBrace(Text, CurPos, Table, FoundPos, Found)) return;
    const std::int32_t openerEnd = FoundPos + OpenerLength(Found, Text, FoundPos);
    std::int32_t closerLength = 0;
    if (!Found.IsComment) {
      CurPos = openerEnd;
      if (Found.Closer == CloserKind::None) continue;
      FoundPos = CloserPosFrom(Found, Text, CurPos, closerLength);
      if (FoundPos == 0) return;
      CurPos = FoundPos + closerLength;
      continue;
    }
    CurPos = FoundPos;
    if (Found.Closer == CloserKind::None) {
      copy(CurPos, openerEnd - 1);
      CurPos = openerEnd;
      continue;
    }
    FoundPos = CloserPosFrom(Found, Text, openerEnd, closerLength);
    if (FoundPos == 0) {
      copy(CurPos, n);
      return;
    }
    const std::int32_t to =
        Found.Closer == CloserKind::EndOfLine ? FoundPos - 1 : FoundPos + closerLength - 1;
    copy(CurPos, to);
    CurPos = to + 1;
  }
}

template <class Steps>
WideText RunIntoText(WideView Text, const TBraceTable& Table, Steps steps) {
  WideText Result(Text.size(), u'\0');
  std::int32_t OutPos = 1;
  std::int32_t SrcPos = 1;
  steps(Text, Table, [&](std::int32_t From, std::int32_t To) {
    SrcPos = From;
    CopyRange(From, To, OutPos, SrcPos, Result, Text);
  });
  Result.resize(static_cast<std::size_t>(OutPos - 1));
  return Result;
}

}  // namespace

WideText PlainDeleteComments(WideView Text, const TBraceTable& Table) {
  return RunIntoText(Text, Table, [](WideView t, const TBraceTable& tb, auto copy) { DeleteSteps(t, tb, copy); });
}

WideText PlainExtractComments(WideView Text, const TBraceTable& Table) {
  return RunIntoText(Text, Table, [](WideView t, const TBraceTable& tb, auto copy) { ExtractSteps(t, tb, copy); });
}

void PlainScanComments(ScanKind Kind, WideView Text, const TBraceTable& Table, StretchSink& Sink) {
  // Stretches are merged as the fast scan merges them.
  std::size_t begin = 0;
  std::size_t end = 0;
  auto copy = [&](std::int32_t From, std::int32_t To) {
    if (To < From) return;
    const auto b = static_cast<std::size_t>(From - 1);
    const auto e = static_cast<std::size_t>(To);
    if (b == end) {
      end = e;
      return;
    }
    if (begin < end) Sink.Keep(begin, end);
    begin = b;
    end = e;
  };
  if (Kind == ScanKind::Delete) {
    DeleteSteps(Text, Table, copy);
  } else {
    ExtractSteps(Text, Table, copy);
  }
  if (begin < end) Sink.Keep(begin, end);
}

}  // namespace kelvorat
