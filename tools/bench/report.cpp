// Runs the benchmarks as Google Benchmark does, then prints the figures that matter for the
// game: the cost of a ball step, what a strike costs against a step in the open field, and
// how closely steps keep their pace.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "tools/bench/figures.h"

namespace krelmo::bench {

std::vector<Figure>& Figures() {
  static std::vector<Figure> figures;
  return figures;
}

namespace {

constexpr const char* kStepPrefix = "BallStep/";
constexpr const char* kTextPrefix = "Text/";

// Passes every run on to the console and keeps the cost per step of the step benchmarks.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const double nanoseconds = run.GetAdjustedCPUTime() *
                                 benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                 benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (name.rfind(kTextPrefix, 0) == 0) {
        Figures().push_back({name.substr(std::char_traits<char>::length(kTextPrefix)),
                             nanoseconds / 1000.0, "us", ""});
      }
      if (name.rfind(kStepPrefix, 0) != 0) continue;
      const std::string step = name.substr(std::char_traits<char>::length(kStepPrefix));
      const auto [kept, first] = stepNs.try_emplace(step, nanoseconds);
      if (!first) kept->second = std::min(kept->second, nanoseconds);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The fastest of each step's runs.
  void AddStepCosts() const {
    for (const auto& [step, ns] : stepNs) {
      Figures().push_back({"step cost, " + step, ns / 1000.0, "us", "<= 1"});
    }
  }

  // "<font>/open field" against "<font>/brick struck, four players".
  void AddRatios() const {
    const std::string open = "/open field";
    for (const auto& [step, ns] : stepNs) {
      if (step.size() <= open.size() || step.compare(step.size() - open.size(), open.size(), open))
        continue;
      const std::string font = step.substr(0, step.size() - open.size());
      const auto strike = stepNs.find(font + "/brick struck, four players");
      if (strike == stepNs.end() || ns <= 0) continue;
      Figures().push_back(
          {"four-player strike / open field, " + font, strike->second / ns, "x", "<= 10"});
    }
  }

  std::map<std::string, double> stepNs;
};

}  // namespace

int RunAndReport(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.AddStepCosts();
  reporter.AddRatios();

  const auto& figures = Figures();
  if (figures.empty()) return 0;
  std::printf("\nFigures\n");
  for (const auto& f : figures) {
    std::printf("  %-58s %10.3f %-4s%s%s\n", f.name.c_str(), f.value, f.unit.c_str(),
                f.target.empty() ? "" : "  target ", f.target.c_str());
  }
  return 0;
}

}  // namespace krelmo::bench
