// krelmo-bench: ball steps on the headless front end, with the game's glyph table and with
// the block font, and the pacing of steps against the real clock.
#include "frontend/headless/headless_platform.h"
#include "resources/fonts/game_font.h"
#include "tools/bench/figures.h"
#include "tools/bench/step_bench.h"

int main(int argc, char** argv) {
  using krelmo::headless::HeadlessPlatform;
  krelmo::bench::RegisterStepBenchmarks<HeadlessPlatform>("glyph table",
                                                          &krelmo::resources::kGameFont);
  krelmo::bench::RegisterStepBenchmarks<HeadlessPlatform>("block font", nullptr);
  return krelmo::bench::RunAndReport(argc, argv);
}
