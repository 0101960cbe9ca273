// krelmo-bench-qt: ball steps on the Qt front end, whose surface draws text from the glyph
// table as the window does, and the scoreboard's texts through Qt's rasteriser, which drew
// every string again before the table took its place.
#include <QApplication>
#include <string>
#include <vector>

#include "frontend/qt/qt_font_renderer.h"
#include "frontend/qt/qt_platform.h"
#include "resources/fonts/game_font.h"
#include "tools/bench/figures.h"
#include "tools/bench/step_bench.h"

int main(int argc, char** argv) {
  // No window is shown: any display, or none, will do.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  krelmo::bench::RegisterStepBenchmarks<krelmo::qt::QtPlatform>("Qt front end",
                                                                &krelmo::resources::kGameFont);
  benchmark::RegisterBenchmark("Text/four-player scoreboard through Qt's rasteriser",
                               [](benchmark::State& state) {
                                 const krelmo::qt::QtFontRenderer font;
                                 const std::vector<std::string> texts = {
                                     "Player 3) 23120", "B:4", "1) 12340", "2) 8050", "4) 450"};
                                 for (auto _ : state) {
                                   for (const auto& text : texts) {
                                     benchmark::DoNotOptimize(font.Render(text));
                                   }
                                 }
                               });
  return krelmo::bench::RunAndReport(argc, argv);
}
