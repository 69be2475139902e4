// The whole command on the simulated editor: OnCommand on documents of
// 100,000 and 400,000 lines where every line changes and where none does,
// with nothing selected. Reports the messages sent per command and the time,
// against the engine's time alone on the same text, and at the end the time on
// 400,000 lines divided by the time on 100,000 (linear: about 4).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "Kelvorat.h"
#include "engine/Catalogue.h"
#include "host/SimulatedEditor.h"
#include "platform/SimulatedDesktop.h"

namespace {

using kelvorat::WideText;

constexpr int kDeleteCpp = 2;

// Every line has a line comment (every line changes) or none (no line does).
WideText Document(int lines, bool everyLineChanges) {
  const std::u16string line = everyLineChanges ? u"    total += item.Price(); // add the price\r\n"
                                               : u"    total += item.Price();\r\n";
  WideText text;
  text.reserve(line.size() * static_cast<std::size_t>(lines));
  for (int i = 0; i < lines; ++i) text += line;
  return text;
}

void Command(benchmark::State& state, int lines, bool everyLineChanges) {
  const WideText text = Document(lines, everyLineChanges);
  kelvorat::host::SimulatedEditor editor(text, 80);
  editor.SetRecording(false);
  kelvorat::platform::SimulatedDesktop desktop;
  desktop.Menu().SetAnswer(kDeleteCpp);
  void* window = desktop.AddWindow(editor);
  std::size_t messages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    editor.SetText(text);
    const std::size_t before = editor.MessagesReceived();
    state.ResumeTiming();
    OnCommand(window);
    messages = editor.MessagesReceived() - before;
  }
  if (!desktop.MessageBox().Shown().empty()) state.SkipWithError("the command failed");
  state.counters["messages"] = static_cast<double>(messages);
  state.counters["lines"] = lines;
}

void EngineAlone(benchmark::State& state, int lines, bool everyLineChanges) {
  const WideText text = Document(lines, everyLineChanges);
  const kelvorat::CatalogueCommand& command = *kelvorat::FindCommand(kDeleteCpp);
  WideText out;
  for (auto _ : state) {
    command.RunInto(text, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["lines"] = lines;
}

void Register() {
  for (const bool changes : {true, false}) {
    for (const int lines : {100000, 400000}) {
      const std::string suffix = std::string(changes ? "EveryLineChanges" : "NoLineChanges") + "/" +
                                 std::to_string(lines);
      benchmark::RegisterBenchmark(("OnCommand/" + suffix).c_str(),
                                   [=](benchmark::State& s) { Command(s, lines, changes); })
          ->Unit(benchmark::kMillisecond)
          ->MinTime(1.0);
      benchmark::RegisterBenchmark(("EngineAlone/" + suffix).c_str(),
                                   [=](benchmark::State& s) { EngineAlone(s, lines, changes); })
          ->Unit(benchmark::kMillisecond)
          ->MinTime(1.0);
    }
  }
}

// After the usual table: each benchmark's 400,000 / 100,000 time ratio (the
// fastest repetition of each, with --benchmark_repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration) continue;
      // With repetitions, the fastest: the one least disturbed by other work.
      const auto [it, fresh] = times_.emplace(r.run_name.function_name, r.GetAdjustedRealTime());
      if (!fresh) it->second = std::min(it->second, r.GetAdjustedRealTime());
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-40s %12s %12s %10s\n", "benchmark", "100000 ms", "400000 ms", "ratio");
    for (const char* name : {"OnCommand/EveryLineChanges", "OnCommand/NoLineChanges", "EngineAlone/EveryLineChanges",
                             "EngineAlone/NoLineChanges"}) {
      const auto a = times_.find(std::string(name) + "/100000");
      const auto b = times_.find(std::string(name) + "/400000");
      if (a == times_.end() || b == times_.end()) continue;
      std::printf("%-40s %12.2f %12.2f %10.2f\n", name, a->second, b->second, b->second / a->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
