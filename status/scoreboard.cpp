#include "status/scoreboard.h"

namespace krelmo::status {

void DrawScoreboard(engine::Engine& engine) {
  if (engine.state.playerScore[0] == 0 && !engine.match.gameActive) return;
  engine.state.shownScore = engine.state.playerScore[engine.state.currentPlayer & 3];
}

}  // namespace krelmo::status
