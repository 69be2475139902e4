#include "cli/Simulate.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "Kelvorat.h"
#include "cli/Utf8.h"
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
  WideText text;
  std::size_t bad = 0;
  if (!DecodeUtf8(bytes, text, bad)) {
    err += "kelvorat: " + name + ": not valid UTF-8 (byte offset " + std::to_string(bad) + ")\n";
    return 1;
  }

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
    if (o.caretAtStart) {
      editor.Select(end, start);
    } else {
      editor.Select(start, end);
    }
  }

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
  out += EncodeUtf8(editor.Text());
  return desktop.MessageBox().Shown().empty() ? 0 : 1;
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
