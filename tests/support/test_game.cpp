#include "tests/support/test_game.h"

namespace krelmo::testing {

TestGame::TestGame() { game.timer.SetReportSink([](std::string_view) {}); }

StartedGame::StartedGame() { game.InitApplication(); }

}  // namespace krelmo::testing
