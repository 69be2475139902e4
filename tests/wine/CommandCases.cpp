#include "tests/wine/CommandCases.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <ostream>
#include <random>

#include "engine/Catalogue.h"

namespace kelvorat::wine_test {
namespace {

struct Document {
  const char* name;
  const char16_t* text;
};

// Every language's comments, strings and protected regions; each kind of
// line break; text outside ASCII, surrogate pairs, and characters that look
// like delimiters or fold case in special ways, where the platform's
// case-insensitive comparison could part from the project's own.
const Document kDocuments[] = {
    {"C", u"int x; /* counter */ char q = '\"';\r\nint y; // not C\r\n/* two\r\nlines */ z = \"/* no */\";\r\n"},
    {"Cpp", u"a = b; // sum\nstring s = \"// no\"; /* c */ t = '\\'';\n\"esc \\\" // still\"; // yes\n/* open"},
    {"VB", u"x = 1 ' one\r\nREM two\r\nrem three\r\nReM four\r\ns = \"it's\" ' five\r\nremark = 2\r\n"},
    {"Pascal", u"{$R+} x := 1; { one } (* two *) // three\ny := 'it''s {no}';\n{ across\nlines } z;\n"},
    {"Html", u"<p>Hi<!-- draft --></p>\r\n<!-- A\r\nB --><P>x</P>\r\n<!-- open"},
    {"Japanese", u"x = 1 ' 日本語のコメント\r\nｒｅｍ 全角\r\nREM ＲＥＭ\r\n/* 注釈 */ y; // 行末\r\n"},
    {"NonBmp", u"a /* 😀 */ b // 𝔸\nc = \"😀 // no\" ' 𝔹\n"},
    {"LoneCr", u"a; // x\rb; /* y */\rc; ' z\r"},
    {"MixedBreaks", u"// x\r\n// y\n\r// z"},
    {"LookAlikes",
     u"a ／＊ b ＊／ c ‐‐ <!‐‐ d ‐‐> <!−− e −−> f ’ g ʼ h ＇ i\r\nj ſ İ ı ẞ K Ｒem ℝEM rEм\r\n"},
    {"OnlyComments", u"/* a */\r\n// b\r\n' c\r\n{ d }\r\n<!-- e -->"},
    {"Empty", u""},
};

// A place a caret can stand near fraction of the text: not between the CR
// and the LF of a break, nor inside a surrogate pair.
std::size_t PlaceNear(const WideText& text, std::size_t numerator, std::size_t denominator) {
  std::size_t o = text.size() * numerator / denominator;
  const auto inside = [&](std::size_t at) {
    if (at == 0 || at >= text.size()) return false;
    const bool crlf = text[at - 1] == u'\r' && text[at] == u'\n';
    const bool pair = text[at - 1] >= 0xD800 && text[at - 1] < 0xDC00 && text[at] >= 0xDC00 && text[at] < 0xE000;
    return crlf || pair;
  };
  while (inside(o)) ++o;
  return o;
}

WideText RandomDocument(std::mt19937& rng) {
  static const char16_t* const kTokens[] = {
      u"a",  u"bc", u" ",  u"/*", u"*/", u"//", u"'",   u"\"",  u"{",   u"}",  u"(*", u"*)",   u"<!--",
      u"-->", u"rem", u"REM", u"{$", u"\\", u"x;", u"é",  u"日本", u"😀", u"ｒｅｍ", u"‐‐", u"ſ", u"\t"};
  static const char16_t* const kBreaks[] = {u"\r\n", u"\n", u"\r"};
  WideText doc;
  const auto lines = static_cast<int>(rng() % 7);
  for (int i = 0; i < lines; ++i) {
    for (auto t = static_cast<int>(rng() % 7); t > 0; --t) doc += kTokens[rng() % std::size(kTokens)];
    if (i + 1 < lines || rng() % 2 == 0) doc += kBreaks[rng() % std::size(kBreaks)];
  }
  return doc;
}

std::vector<CommandCase> MakeCases() {
  std::vector<CommandCase> cases;
  // Every document through every action, nothing selected, the caret inside.
  for (const Document& d : kDocuments) {
    const WideText text = d.text;
    const std::size_t caret = PlaceNear(text, 1, 3);
    for (int id = 1; id <= 10; ++id) {
      cases.push_back({std::string(d.name) + "_NothingSelected_" + std::to_string(id), text, caret, caret,
                       {2, 1}, id});
    }
  }
  // A selection inside, the caret at its end and then at its start, with the
  // actions of two languages.
  int turn = 0;
  for (const Document& d : kDocuments) {
    const WideText text = d.text;
    if (text.empty()) continue;
    const std::size_t from = PlaceNear(text, 1, 5);
    const std::size_t to = PlaceNear(text, 4, 5);
    const int id = 1 + turn++ % 10;
    cases.push_back({std::string(d.name) + "_CaretAtEnd_" + std::to_string(id), text, from, to, {0, 3}, id});
    const int other = 1 + (id + 4) % 10;
    cases.push_back(
        {std::string(d.name) + "_CaretAtStart_" + std::to_string(other), text, to, from, {5, 0}, other});
  }
  // No action: the cancel item and a dismissed menu, with and without a selection.
  const WideText c = kDocuments[0].text;
  for (const int choice : {kChooseCancelItem, kDismiss, kClickOutside}) {
    const std::string how = choice == kDismiss        ? "Dismissed"
                            : choice == kClickOutside ? "ClickedOutside"
                                                      : "CancelItem";
    cases.push_back({how + "_NothingSelected", c, 7, 7, {1, 1}, choice});
    cases.push_back({how + "_Selected", c, 3, PlaceNear(c, 2, 3), {1, 1}, choice});
  }
  // Random documents and selections.
  std::mt19937 rng(20261211);
  for (int i = 0; i < 40; ++i) {
    const WideText text = RandomDocument(rng);
    const bool selected = !text.empty() && rng() % 3 != 0;
    const std::size_t anchor = PlaceNear(text, rng() % 9, 8);
    std::size_t caret = selected ? PlaceNear(text, rng() % 9, 8) : anchor;
    if (selected && caret == anchor) caret = anchor == 0 ? text.size() : 0;
    const auto id = static_cast<int>(1 + rng() % 10);
    const host::TEditPoint scroll{static_cast<std::int32_t>(rng() % 4), static_cast<std::int32_t>(rng() % 9)};
    cases.push_back({"Random" + std::to_string(i) + "_" + std::to_string(id), text, anchor, caret, scroll, id});
  }
  return cases;
}

std::string Point(host::TEditPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; }

std::string Choice(int choice) {
  if (choice == kDismiss) return "dismiss";
  if (choice == kClickOutside) return "click outside";
  if (choice == kChooseCancelItem) return "cancel item";
  return std::to_string(choice);
}

}  // namespace

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

const std::vector<CommandCase>& CommandCases() {
  static const std::vector<CommandCase> cases = MakeCases();
  return cases;
}

void Prepare(const CommandCase& c, host::SimulatedEditor& editor) {
  editor.SetText(c.document);
  editor.Select(c.anchor, c.caret);
  editor.SetScroll(c.scroll);
  editor.ClearLog();
}

WideText PredictedDocument(const CommandCase& c) {
  const CatalogueCommand* command = FindCommand(c.choice);
  if (command == nullptr) return c.document;
  const bool selected = c.anchor != c.caret;
  const std::size_t from = selected ? std::min(c.anchor, c.caret) : 0;
  const std::size_t to = selected ? std::max(c.anchor, c.caret) : c.document.size();
  return c.document.substr(0, from) + command->Run(WideView(c.document).substr(from, to - from)) +
         c.document.substr(to);
}

std::vector<std::string> Outcome(const CommandCase& c, const host::SimulatedEditor& editor) {
  std::vector<std::string> lines;
  lines.push_back("input " + host::QuoteText(c.document) + " anchor " + std::to_string(c.anchor) + " caret " +
                  std::to_string(c.caret) + " scroll " + Point(c.scroll) + " choose " + Choice(c.choice));
  lines.push_back("text " + host::QuoteText(editor.Text()));
  lines.push_back("anchor " + std::to_string(editor.Anchor()) + " caret " + std::to_string(editor.Caret()) +
                  " scroll " + Point(editor.Scroll()) + " redraw " + (editor.RedrawOn() ? "on" : "off"));
  for (const auto& m : editor.Log()) lines.push_back(host::DescribeMessage(m));
  return lines;
}

std::vector<std::string> DescribeMenu(const std::vector<MenuItem>& items) {
  std::vector<std::string> lines;
  for (const MenuItem& item : items) {
    char head[48];
    std::snprintf(head, sizeof head, "item 0x%X %u ", static_cast<unsigned>(item.flags),
                  static_cast<unsigned>(item.id));
    std::string line = head;
    for (const char ch : item.text) {
      const auto b = static_cast<unsigned char>(ch);
      if (b >= 0x20 && b < 0x7F && b != '\\') {
        line += ch;
      } else {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", b);
        line += escape;
      }
    }
    lines.push_back(line);
  }
  return lines;
}

void WriteOutcomes(std::ostream& out, const Outcomes& outcomes) {
  for (const auto& [name, lines] : outcomes) {
    out << "case " << name << '\n';
    for (const std::string& line : lines) out << line << '\n';
    out << "end\n";
  }
}

Outcomes ReadOutcomes(std::istream& in) {
  Outcomes outcomes;
  std::string line;
  std::vector<std::string>* current = nullptr;
  while (std::getline(in, line)) {
    if (current == nullptr) {
      if (line.rfind("case ", 0) == 0) current = &outcomes[line.substr(5)];
    } else if (line == "end") {
      current = nullptr;
    } else {
      current->push_back(line);
    }
  }
  return outcomes;
}

}  // namespace kelvorat::wine_test
