// Throughput of the ten commands, in memory, on C and C++ system headers
// concatenated (1, 16 and 64 M code units, LF and CR LF) and on adversarial
// text. At the end it prints M code units per second and, for each command,
// the time on 64 M divided by the time on 16 M (linear: about 4).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Utf8.h"
#include "engine/Catalogue.h"

namespace {

using kelvorat::WideText;
constexpr std::size_t kMega = 1u << 20;

// The system headers, decoded, concatenated in a fixed order, repeated to 64 M.
const WideText& Headers() {
  static const WideText corpus = [] {
    std::vector<std::filesystem::path> files;
    for (const char* root : {"/usr/include"}) {
      std::error_code ec;
      for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
           it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (it->is_regular_file(ec)) files.push_back(it->path());
      }
    }
    std::sort(files.begin(), files.end());
    WideText all;
    all.reserve(64 * kMega + kMega);
    while (all.size() < 64 * kMega && !files.empty()) {
      for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        WideText t;
        std::size_t bad = 0;
        if (kelvorat::cli::DecodeUtf8(ss.str(), t, bad)) all += t;
        if (all.size() >= 64 * kMega) break;
      }
    }
    all.resize(std::min(all.size(), 64 * kMega));
    return all;
  }();
  return corpus;
}

WideText WithCrLf(const WideText& lf) {
  WideText out;
  out.reserve(lf.size() + lf.size() / 16);
  for (char16_t u : lf) {
    if (u == u'\n') out += u'\r';
    out += u;
  }
  return out;
}

const WideText& Text(std::size_t megaUnits, bool crlf) {
  static std::map<std::pair<std::size_t, bool>, WideText> cache;
  auto key = std::make_pair(megaUnits, crlf);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  WideText t = Headers().substr(0, megaUnits * kMega);
  if (crlf) t = WithCrLf(t).substr(0, megaUnits * kMega);
  return cache.emplace(key, std::move(t)).first->second;
}

// A million short lines in which the block comment's opener never occurs, so
// a search for it that restarts at every line would cross the whole text.
const WideText& LinesWithoutBlockComments() {
  static const WideText t = [] {
    WideText s;
    for (int i = 0; i < 1000000; ++i) s += u"x = y; // c\r\n";
    return s;
  }();
  return t;
}

// A million VB identifiers that contain "rem", which is no comment there.
const WideText& IdentifiersWithRem() {
  static const WideText t = [] {
    WideText s;
    for (int i = 0; i < 1000000; ++i) s += (i % 2 ? u"mRemaining = PREMIUM\r\n" : u"x.Remove 1\r\n");
    return s;
  }();
  return t;
}

// The result's storage is reused from one run to the next, as a caller that
// processes many texts does; FreshResult below shows the cost of new storage.
void Run(benchmark::State& state, const kelvorat::CatalogueCommand& command, const WideText& text) {
  WideText out;
  command.RunInto(text, out);  // untimed: the result's pages are touched once before timing
  for (auto _ : state) {
    command.RunInto(text, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["units/s"] = benchmark::Counter(static_cast<double>(text.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void RunFresh(benchmark::State& state, const kelvorat::CatalogueCommand& command, const WideText& text) {
  for (auto _ : state) {
    WideText out = command.Run(text);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["units/s"] = benchmark::Counter(static_cast<double>(text.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void Register() {
  for (const auto& command : kelvorat::Catalogue()) {
    const std::string name = std::string(command.Name);
    for (std::size_t mega : {1u, 16u, 64u}) {
      for (bool crlf : {false, true}) {
        benchmark::RegisterBenchmark(
            (name + "/" + std::to_string(mega) + "M/" + (crlf ? "CRLF" : "LF")).c_str(),
            [&command, mega, crlf](benchmark::State& s) { Run(s, command, Text(mega, crlf)); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
      }
    }
  }
  for (auto scan : {kelvorat::ScanKind::Delete, kelvorat::ScanKind::Extract}) {
    const auto& command = kelvorat::CommandFor(kelvorat::Language::Cpp, scan);
    benchmark::RegisterBenchmark(("FreshResult/" + std::string(command.Name) + "/64M/LF").c_str(),
                                 [&command](benchmark::State& s) { RunFresh(s, command, Text(64, false)); })
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
  }
  const auto& cpp = kelvorat::CommandFor(kelvorat::Language::Cpp, kelvorat::ScanKind::Extract);
  benchmark::RegisterBenchmark("Adversarial/LinesWithoutBlockComments/ExtractCppComments",
                               [&cpp](benchmark::State& s) { Run(s, cpp, LinesWithoutBlockComments()); })
      ->Unit(benchmark::kMillisecond);
  for (auto scan : {kelvorat::ScanKind::Delete, kelvorat::ScanKind::Extract}) {
    const auto& vb = kelvorat::CommandFor(kelvorat::Language::VB, scan);
    benchmark::RegisterBenchmark(("Adversarial/IdentifiersWithRem/" + std::string(vb.Name)).c_str(),
                                 [&vb](benchmark::State& s) { Run(s, vb, IdentifiersWithRem()); })
        ->Unit(benchmark::kMillisecond);
  }
}

// Prints, after the usual table, each command's 64 M / 16 M time ratio.
using benchmark::BenchmarkReporter;
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration) times_[r.run_name.function_name] = r.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-24s %-5s %12s %12s %8s\n", "command", "ends", "16M ms", "64M ms", "64M/16M");
    for (const auto& command : kelvorat::Catalogue()) {
      for (const char* ends : {"LF", "CRLF"}) {
        const std::string base = std::string(command.Name);
        const auto a = times_.find(base + "/16M/" + ends);
        const auto b = times_.find(base + "/64M/" + ends);
        if (a == times_.end() || b == times_.end()) continue;
        std::printf("%-24s %-5s %12.2f %12.2f %8.2f\n", base.c_str(), ends, a->second, b->second,
                    b->second / a->second);
      }
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
