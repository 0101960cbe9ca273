// krelmo-bench: runs the benchmarks as Google Benchmark does, then prints the figures that
// matter for the game: the cost of a ball step and how closely steps keep their pace.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "tools/bench/figures.h"

namespace krelmo::bench {

std::vector<Figure>& Figures() {
  static std::vector<Figure> figures;
  return figures;
}

namespace {

// Passes every run on to the console and keeps the cost per step of the step benchmarks.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.benchmark_name();
      if (name.rfind("BallStep/", 0) != 0) continue;
      const double nanoseconds = run.GetAdjustedCPUTime() *
                                 benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                 benchmark::GetTimeUnitMultiplier(run.time_unit);
      Figures().push_back({"step cost, " + name.substr(9), nanoseconds / 1000.0, "us", "<= 1"});
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace
}  // namespace krelmo::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  krelmo::bench::FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& figures = krelmo::bench::Figures();
  if (figures.empty()) return 0;
  std::printf("\nFigures\n");
  for (const auto& f : figures) {
    std::printf("  %-48s %10.3f %-4s%s%s\n", f.name.c_str(), f.value, f.unit.c_str(),
                f.target.empty() ? "" : "  target ", f.target.c_str());
  }
  return 0;
}
