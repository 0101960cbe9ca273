// The figures the benchmarks hand to krelmo-bench's closing summary.
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

}  // namespace krelmo::bench
