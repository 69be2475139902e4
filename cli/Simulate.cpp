#include "cli/Simulate.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "Kelvorat.h"
#include "cli/Cp932.h"
#include "cli/Transform.h"
#include "cli/Utf8.h"
#include "engine/CommentScan.h"
#include "host/PluginLibrary.h"
#include "host/SimulatedEditor.h"
#include "platform/SimulatedDesktop.h"

namespace kelvorat::cli {
namespace {

using host::SimulatedEditor;
using host::TEditPoint;

constexpr const char* kUsage =
    "usage: kelvorat simulate --choice ID [--select L1:C1-L2:C2] [--caret-at-start] [--trace] FILE\n"
    "  ID: the menu item chosen, 1 to 10, or 0 or 'cancel' to dismiss the menu\n"
    "  L:C: 0-based line and column (UTF-16 code units) of the logical lines\n";

struct SimulateOptions {
  int choice = 0;
  bool hasChoice = false;
  std::optional<std::pair<TEditPoint, TEditPoint>> selection;
  bool caretAtStart = false;
  bool trace = false;
  std::string path;
};

bool ParseInt(std::string_view text, std::int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool ParsePoint(std::string_view text, TEditPoint& point) {
  const std::size_t colon = text.find(':');
  return colon != std::string_view::npos && ParseInt(text.substr(0, colon), point.Y) &&
         ParseInt(text.substr(colon + 1), point.X) && point.X >= 0 && point.Y >= 0;
}

// Answers an error text, empty when the arguments are good.
std::string Parse(const std::vector<std::string>& args, SimulateOptions& o) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--choice") {
      if (!hasValue) return "--choice needs an id";
      const std::string& v = args[++i];
      std::int32_t id = 0;
      if (v == "cancel") {
        id = 0;
      } else if (!ParseInt(v, id) || id < 0) {
        return "--choice: not an id: " + v;
      }
      o.choice = id;
      o.hasChoice = true;
    } else if (a == "--select") {
      if (!hasValue) return "--select needs L1:C1-L2:C2";
      const std::string& v = args[++i];
      const std::size_t dash = v.find('-');
      TEditPoint from{0, 0};
      TEditPoint to{0, 0};
      if (dash == std::string::npos || !ParsePoint(std::string_view(v).substr(0, dash), from) ||
          !ParsePoint(std::string_view(v).substr(dash + 1), to)) {
        return "--select: not L1:C1-L2:C2: " + v;
      }
      o.selection.emplace(from, to);
    } else if (a == "--caret-at-start") {
      o.caretAtStart = true;
    } else if (a == "--trace") {
      o.trace = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else if (o.path.empty()) {
      o.path = a;
    } else {
      return "one file only";
    }
  }
  if (!o.hasChoice) return "--choice is required";
  if (o.path.empty()) return "a file is required";
  return {};
}

bool ReadWhole(const std::string& path, std::string& bytes, std::string& why) {
  std::FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    why = std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  const bool ok = std::ferror(f) == 0;
  const int error = errno;
  if (f != stdin) std::fclose(f);
  if (!ok) why = error == EISDIR ? "is a directory" : std::strerror(error);
  return ok;
}

// The text of a file's bytes (after its BOM) and, for each code unit, the
// offset of its bytes; offsets[text.size()] is the end. The low half of a
// surrogate pair has no bytes of its own and is marked kInside.
constexpr std::size_t kInside = static_cast<std::size_t>(-1);

void DecodeWithOffsets(std::string_view body, Encoding encoding, WideText& text,
                       std::vector<std::size_t>& offsets) {
  text.clear();
  offsets.clear();
  const auto* b = reinterpret_cast<const unsigned char*>(body.data());
  const std::size_t n = body.size();
  auto put = [&](char16_t unit, std::size_t offset) {
    text.push_back(unit);
    offsets.push_back(offset);
  };
  std::size_t i = 0;
  switch (encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
      for (; i + 1 < n; i += 2) {
        const auto unit = encoding == Encoding::Utf16LE ? static_cast<char16_t>(b[i] | (b[i + 1] << 8))
                                                        : static_cast<char16_t>((b[i] << 8) | b[i + 1]);
        put(unit, unit >= 0xDC00 && unit <= 0xDFFF && !text.empty() && text.back() >= 0xD800 &&
                          text.back() <= 0xDBFF ? kInside : i);
      }
      break;
    case Encoding::Cp932:
      while (i < n) {
        const char16_t single = Cp932Single(b[i]);
        if (single == kCp932Lead && i + 1 < n) {
          put(Cp932Pair(b[i], b[i + 1]), i);
          i += 2;
        } else {
          put(single, i);
          ++i;
        }
      }
      break;
    case Encoding::Utf8: {
      WideText one;
      while (i < n) {
        const std::size_t length = b[i] < 0x80 ? 1 : b[i] < 0xE0 ? 2 : b[i] < 0xF0 ? 3 : 4;
        std::size_t bad = 0;
        DecodeUtf8(body.substr(i, length), one, bad);
        for (std::size_t k = 0; k < one.size(); ++k) put(one[k], k == 0 ? i : kInside);
        i += length;
      }
      break;
    }
  }
  offsets.push_back(n);
}

// Collects the stretches a scan keeps.
class Stretches final : public StretchSink {
 public:
  void Keep(std::size_t begin, std::size_t end) override { kept.emplace_back(begin, end); }
  std::vector<std::pair<std::size_t, std::size_t>> kept;
};

std::string Point(TEditPoint p) { return "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")"; }

// ANSI text of the plug-in, printable: bytes above 127 in hexadecimal.
std::string Printable(const std::string& ansi) {
  std::string out;
  for (unsigned char c : ansi) {
    if (c < 0x80 && c >= 0x20) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

int RunSimulate(const std::vector<std::string>& args, std::string& out, std::string& err) {
  SimulateOptions o;
  if (const std::string error = Parse(args, o); !error.empty()) {
    err += "kelvorat simulate: " + error + "\n" + kUsage;
    return 2;
  }
  const std::string name = o.path == "-" ? "<stdin>" : o.path;
  std::string bytes;
  std::string why;
  if (!ReadWhole(o.path, bytes, why)) {
    err += "kelvorat: " + name + ": " + why + "\n";
    return 1;
  }
  TextForm form;
  if (!DetectForm(bytes, std::nullopt, form, why)) {
    err += "kelvorat: " + name + ": " + why + "\n";
    return 1;
  }
  const std::string_view bom = std::string_view(bytes).substr(0, form.bomLength);
  const std::string_view body = std::string_view(bytes).substr(form.bomLength);
  WideText text;
  std::vector<std::size_t> offsets;
  DecodeWithOffsets(body, form.encoding, text, offsets);

  SimulatedEditor editor(text);
  editor.SetRecording(o.trace);
  if (o.selection) {
    const auto [from, to] = *o.selection;
    for (const TEditPoint p : {from, to}) {
      if (!host::SamePoint(editor.ToLogical(editor.FromLogical(p)), p)) {
        err += "kelvorat simulate: --select: " + std::to_string(p.Y) + ":" + std::to_string(p.X) +
               " lies outside the text\n";
        return 2;
      }
    }
    std::size_t start = editor.FromLogical(from);
    std::size_t end = editor.FromLogical(to);
    if (end < start) std::swap(start, end);
    if (offsets[start] == kInside || offsets[end] == kInside) {
      err += "kelvorat simulate: --select: a bound splits a character\n";
      return 2;
    }
    if (o.caretAtStart) {
      editor.Select(end, start);
    } else {
      editor.Select(start, end);
    }
  }

  // What the chosen action does to the selection, or to the whole text.
  const std::size_t selectionStart = editor.HasSelection() ? editor.SelectionStart() : 0;
  const std::size_t selectionEnd = editor.HasSelection() ? editor.SelectionEnd() : text.size();

  platform::SimulatedDesktop desktop;
  desktop.Menu().SetAnswer(o.choice);
  desktop.SetCursor({100, 100});
  void* window = desktop.AddWindow(editor);
  OnCommand(window);

  if (o.trace) {
    for (const SimulatedEditor::Message& m : editor.Log()) err += host::DescribeMessage(m) + "\n";
    for (const platform::MenuTrackRecord& t : desktop.Menu().Trackings()) {
      err += "menu: " + std::to_string(t.items.size()) + " items at (" + std::to_string(t.x) + "," +
             std::to_string(t.y) + "), answered " + std::to_string(t.answer) + "\n";
    }
    const TEditPoint caret = editor.ToLogical(editor.Caret());
    err += "caret " + Point(caret);
    if (editor.HasSelection()) {
      err += ", selection " + Point(editor.ToLogical(editor.SelectionStart())) + "-" +
             Point(editor.ToLogical(editor.SelectionEnd()));
    } else {
      err += ", nothing selected";
    }
    err += ", scroll " + Point(editor.Scroll()) + "\n";
  }
  for (const platform::MessageBoxRecord& box : desktop.MessageBox().Shown()) {
    err += "message box \"" + Printable(box.caption) + "\": " + Printable(box.text) + "\n";
  }
  if (!desktop.MessageBox().Shown().empty()) return 1;

  // The document goes out in the file's own bytes: the BOM, the text before
  // and after the selection, and the stretches of the selection that the
  // action kept. That this is the editor's document is checked first.
  const CatalogueCommand* command = FindCommand(o.choice & 0xFF);
  std::vector<std::pair<std::size_t, std::size_t>> kept{{0, text.size()}};
  if (command != nullptr) {
    Stretches stretches;
    const WideView selected = WideView(text).substr(selectionStart, selectionEnd - selectionStart);
    ScanComments(command->Scan, selected, LanguageTable(command->Lang, command->Scan), stretches);
    kept.clear();
    if (selectionStart > 0) kept.emplace_back(0, selectionStart);
    for (const auto& [b, e] : stretches.kept) kept.emplace_back(selectionStart + b, selectionStart + e);
    if (selectionEnd < text.size()) kept.emplace_back(selectionEnd, text.size());
  }
  WideText expected;
  for (const auto& [b, e] : kept) expected.append(text, b, e - b);
  if (expected != editor.Text()) {
    err += "kelvorat simulate: the editor's document is not what the action gives\n";
    return 1;
  }
  out.append(bom);
  for (const auto& [b, e] : kept) out.append(body.substr(offsets[b], offsets[e] - offsets[b]));
  return 0;
}

int RunSimulateOnStdio(const std::vector<std::string>& args) {
  std::string out;
  std::string err;
  int status = RunSimulate(args, out, err);
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    err += "kelvorat: <stdout>: " + std::string(std::strerror(errno)) + "\n";
    status = 1;
  }
  std::fwrite(err.data(), 1, err.size(), stderr);
  return status;
}

}  // namespace kelvorat::cli
