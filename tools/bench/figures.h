// The figures the benchmarks hand to the closing summary of krelmo-bench and krelmo-bench-qt.
#pragma once

#include <string>
#include <vector>

namespace krelmo::bench {

struct Figure {
  std::string name;
  double value;
  std::string unit;
  std::string target;  // empty: no target
};

// Appended by the benchmarks as they run; printed once all have run.
std::vector<Figure>& Figures();

// Runs the registered benchmarks (Google Benchmark's arguments apply) and prints the figures.
int RunAndReport(int argc, char** argv);

}  // namespace krelmo::bench
