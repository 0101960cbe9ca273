// The flow of a match: new game, serve, pause, lost balls, turns and the end.
#include "app/game.h"
#include "engine/frame.h"
#include "engine/playfield.h"

namespace krelmo::app {

void Game::StartNewGame() {}
void Game::ServeBall() {}
void Game::SetPaused(bool) {}
int Game::LoseBall() { return 1; }
int Game::PassTurn() { return 1; }
void Game::EndMatch() {}
void Game::ShowPlayerUp(std::uint32_t) {}

}  // namespace krelmo::app
