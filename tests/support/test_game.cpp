#include "tests/support/test_game.h"

namespace krelmo::testing {

TestGame::TestGame() {
  game.timer.SetReportSink([](std::string_view) {});
  // Texts in the block font, whose cells the tests can measure.
  host.surface.SetFont(nullptr);
}

StartedGame::StartedGame() {
  game.InitApplication();
}

}  // namespace krelmo::testing
