// A main for benchmark programs that prints each figure beside its anchor from one run: after the
// usual table, the time per item of a figure over that of its anchor (items as the benchmarks
// count them with SetItemsProcessed; CPU time, as Google Benchmark's rates use).
//
//   BENCH_MAIN_WITH_RATIOS({"CreateAndRemoveEntities/10000", "CreateAndRemoveBareEntities/10000"})
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace Bench {

using Ratios = std::vector<std::pair<std::string, std::string>>;  // (figure, anchor)

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only for a terminal, as the library's own reporter does by default.
  RatioReporter() : ConsoleReporter(::isatty(::fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto items = run.counters.find("items_per_second");
      if (run.run_type == Run::RT_Iteration && items != run.counters.end() && items->second.value > 0)
        m_NsPerItem[run.benchmark_name()] = 1e9 / items->second.value;
    }
  }
  std::map<std::string, double> m_NsPerItem;
};

inline int RunWithRatios(int argc, char** argv, const Ratios& ratios) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const auto& [figure, anchor] : ratios) {
    const auto f = reporter.m_NsPerItem.find(figure);
    const auto a = reporter.m_NsPerItem.find(anchor);
    if (f == reporter.m_NsPerItem.end() || a == reporter.m_NsPerItem.end()) continue;
    std::printf("%s: %.3g ns per item = %.3gx %s: %.3g ns\n", figure.c_str(), f->second, f->second / a->second,
                anchor.c_str(), a->second);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace Bench

#define BENCH_MAIN_WITH_RATIOS(...) \
  int main(int argc, char** argv) { return Bench::RunWithRatios(argc, argv, {__VA_ARGS__}); }
