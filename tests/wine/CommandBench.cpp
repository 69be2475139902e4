// OnCommand through the real Kelvorat.dll under Wine, on documents of about
// 1 MB and 4 MB (characters) where every line changes and where none does,
// with nothing selected and "delete C++/C#/Java comments" picked from the real
// menu. For each: the fastest and the median of the runs, for the whole call
// and for the part after the menu closed (the command's own work), and the
// messages the editor received; then the 4 MB / 1 MB ratio of the work,
// which must stay at most 4.5 (the exit status is 1 otherwise).
//
// usage: wine_command_bench [RUNS]   (default 5)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/wine/WineHost.h"

using namespace kelvorat;
using namespace kelvorat::wine_test;

namespace {

constexpr int kDeleteCpp = 2;
constexpr std::size_t kMegabyte = 1 << 20;
constexpr double kRatioLimit = 4.5;

const std::u16string kChangingLine = u"    total += item.Price(); // add the price\r\n";
const std::u16string kPlainLine = u"    total += item.Price();\r\n";

// Whole lines up to size characters.
std::u16string Document(const std::u16string& line, std::size_t size) {
  std::u16string text;
  text.reserve(size);
  while (text.size() + line.size() <= size) text += line;
  return text;
}

double Milliseconds(std::int64_t ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  double wholeFastest;
  double wholeMedian;
  double workFastest;
  double workMedian;
  double pluginFastest;
  double pluginMedian;
  std::size_t messages;
  std::size_t lines;
  bool ok;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

Figures Measure(const Plugin& plugin, HostWindow& window, host::SimulatedEditor& editor, bool everyLineChanges,
                std::size_t size, int runs) {
  const std::u16string text = Document(everyLineChanges ? kChangingLine : kPlainLine, size);
  const std::size_t lines = text.size() / (everyLineChanges ? kChangingLine : kPlainLine).size();
  std::u16string expected;
  expected.reserve(text.size());
  for (std::size_t i = 0; i < lines; ++i) expected += everyLineChanges ? u"    total += item.Price(); \r\n" : kPlainLine;

  std::vector<double> whole;
  std::vector<double> work;
  std::vector<double> own;
  Figures f{0, 0, 0, 0, 0, 0, 0, lines, true};
  for (int run = 0; run < runs; ++run) {
    editor.SetText(text);
    const std::size_t before = editor.MessagesReceived();
    SetCursorPos(120, 90);
    HostWindow::Pump();
    MenuPicker picker(kDeleteCpp);
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    window.Noted() = {};
    QueryPerformanceCounter(&start);
    plugin.OnCommand(window.Handle());
    QueryPerformanceCounter(&end);
    const MenuPicker::Result& menu = picker.Finish();
    f.messages = editor.MessagesReceived() - before;
    if (!menu.error.empty() || editor.Text() != expected) {
      std::fprintf(stderr, "run %d: %s\n", run, menu.error.empty() ? "the document is not as expected" : menu.error.c_str());
      f.ok = false;
    }
    whole.push_back(Milliseconds(end.QuadPart - start.QuadPart));
    work.push_back(Milliseconds(end.QuadPart - window.Noted().menuClosedAt.QuadPart));
    own.push_back(work.back() - Milliseconds(window.Noted().inEditor));
  }
  f.wholeFastest = *std::min_element(whole.begin(), whole.end());
  f.wholeMedian = Median(whole);
  f.workFastest = *std::min_element(work.begin(), work.end());
  f.workMedian = Median(work);
  f.pluginFastest = *std::min_element(own.begin(), own.end());
  f.pluginMedian = Median(own);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  host::SimulatedEditor editor({}, 80);
  editor.SetRecording(false);
  HostWindow window(editor);
  Plugin plugin;
  if (window.Handle() == nullptr || !plugin.Error().empty()) {
    std::fprintf(stderr, "no host window or no plug-in: %s\n", plugin.Error().c_str());
    return 1;
  }
  std::printf("OnCommand through Kelvorat.dll, nothing selected, delete C++/C#/Java comments, %d runs each.\n"
              "whole: the call; after menu: from the menu's close to the return; plug-in: after menu less the\n"
              "time the simulated editor spent answering messages. Milliseconds, fastest / median.\n\n",
              runs);
  std::printf("%-18s %3s %7s %8s %15s %15s %15s\n", "document", "MB", "lines", "messages", "whole", "after menu",
              "plug-in");
  bool ok = true;
  for (const bool changes : {true, false}) {
    Figures figures[2];
    for (int i = 0; i < 2; ++i) {
      const std::size_t megabytes = i == 0 ? 1 : 4;
      const Figures f = Measure(plugin, window, editor, changes, megabytes * kMegabyte, runs);
      figures[i] = f;
      ok = ok && f.ok;
      std::printf("%-18s %3zu %7zu %8zu %7.1f /%6.1f %7.1f /%6.1f %7.1f /%6.1f\n",
                  changes ? "every line changed" : "no line changed", megabytes, f.lines, f.messages,
                  f.wholeFastest, f.wholeMedian, f.workFastest, f.workMedian, f.pluginFastest, f.pluginMedian);
    }
    const double ratio = figures[1].workFastest / figures[0].workFastest;
    std::printf("  4 MB / 1 MB (fastest): after menu %.2f (limit %.1f), plug-in %.2f, whole %.2f, messages %.2f\n",
                ratio, kRatioLimit, figures[1].pluginFastest / figures[0].pluginFastest,
                figures[1].wholeFastest / figures[0].wholeFastest,
                static_cast<double>(figures[1].messages) / static_cast<double>(figures[0].messages));
    if (ratio > kRatioLimit) ok = false;
  }
  std::fflush(stdout);
  return ok ? 0 : 1;
}
