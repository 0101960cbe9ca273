// The flow of a match: new game, serve, pause, lost balls, turns and the end.
#include <cstddef>

#include "app/game.h"
#include "engine/collision.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "engine/sound_cues.h"

namespace krelmo::app {

namespace {

struct VariantStart {
  std::int32_t balls;
  std::int32_t stepDelay;
};
constexpr VariantStart kVariantStart[2] = {{4, 4500}, {3, 3850}};

}  // namespace

int NextRandom(std::uint32_t& seed) {
  seed = seed * 214013u + 2531011u;
  return static_cast<int>((seed >> 16) & 0x7FFF);
}

void Game::ConfineCursor(bool moveToPaddle) {
  // The strip is placed by client coordinates, so it lands in the same place whatever frame
  // the window system draws around the window.
  auto& window = platform.window;
  const platform::Point topLeft = window.ClientToScreen({kPointerStripLeft, kPointerStripY});
  const platform::Point bottomRight =
      window.ClientToScreen({kPointerStripRight + 1, kPointerStripY + 1});
  const platform::Rect strip{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  window.ClipCursor(&strip);
  if (moveToPaddle) {
    const platform::Point p = window.ClientToScreen({engine.state.paddleX, engine::kPaddleTop});
    window.SetCursorPos(p.x, p.y);
  }
}

void Game::StartNewGame() {
  if (matchObserver) matchObserver->MatchStarting();
  auto& s = engine.state;
  auto& match = engine.match;
  match.gameActive = true;
  s.ballDX = 1;
  s.ballDY = -1;
  s.ballY = engine::kBallParked;
  s.currentPlayer = 0;
  s.playerScore.fill(0);
  const VariantStart& start = kVariantStart[static_cast<std::size_t>(engine.settings.gameVariant)];
  s.ballsLeft.fill(start.balls);
  s.stepDelay = start.stepDelay;
  match.cursorVisible = false;
  platform.window.ShowCursor(false);
  ConfineCursor(true);
  engine::MovePaddle(engine, s.paddleX);
  engine::DrawFrameWalls(engine);
  engine::DrawFullWall(engine);
  DrawScoreboard();
  engine::SaveWall(engine, engine::kAllSlots);
  engine::ClearPlayArea(engine);
  GreyVariantGroup();
  GreyPlayersGroup();
  if (engine.settings.numPlayers > 0) ShowPlayerUp(0);
}

void Game::ServeBall() {
  auto& s = engine.state;
  if (!engine.match.gameActive || engine.match.cursorVisible || s.ballY < engine::kBallOutOfPlay) {
    return;
  }
  s.ballDY = -1;
  s.ballY = engine::kBallOnPaddle;
  s.ballDX = (NextRandom(app.randomSeed) % 2 != 0) ? -1 : 1;
  s.ballX = static_cast<std::int16_t>(s.paddleX + engine::kBallOverPaddleMiddle);
  engine::ClearPlayArea(engine);
  engine::CheckWallCleared(engine);
}

void Game::SetPaused(bool on) {
  auto& s = engine.state;
  auto& match = engine.match;
  auto& dc = engine.dc;
  if (on) {
    engine::SaveWall(engine, s.currentPlayer);
    platform.window.ClipCursor(nullptr);
    match.cursorVisible = true;
    platform.window.ShowCursor(true);
    match.paused = true;
    engine::SpeakerEnable(engine, 0);
    dc.SelectObject(engine::blackBrush);
    dc.Rectangle(s.ballX, s.ballY, s.ballX + engine::kBallSize, s.ballY + engine::kBallSize);
    match.savedBallY = s.ballY;
    s.ballY = engine::kBallParked;
    DrawPausedText();
    return;
  }
  match.paused = false;
  engine::RedrawWall(engine, s.currentPlayer);
  engine::MovePaddle(engine, s.paddleX);
  ConfineCursor(true);
  match.cursorVisible = false;
  platform.window.ShowCursor(false);
  s.ballY = match.savedBallY;
  engine::ClearPlayArea(engine);
}

int Game::LoseBall() {
  auto& s = engine.state;
  if (s.currentPlayer > 3) return 1;
  --s.ballsLeft[s.currentPlayer];
  if (s.ballsLeft[s.currentPlayer] == 0) CheckHighScore(s.playerScore[s.currentPlayer]);
  return PassTurn();
}

int Game::PassTurn() {
  auto& s = engine.state;
  const std::uint32_t players = engine.settings.numPlayers + 1;
  if (players == 1) {
    DrawScoreboard();
    return s.ballsLeft[0] > 0 ? 1 : 0;
  }
  // The next player with a ball, in turn order, with the current player last.
  for (std::uint32_t offset = 1; offset < players; ++offset) {
    const std::uint32_t next = (s.currentPlayer + offset) % players;
    if (s.ballsLeft[next] <= 0) continue;
    engine::SaveWall(engine, s.currentPlayer);
    s.currentPlayer = next;
    engine::RedrawWall(engine, s.currentPlayer);
    ShowPlayerUp(s.currentPlayer);
    DrawScoreboard();
    return 1;
  }
  DrawScoreboard();
  if (s.ballsLeft[s.currentPlayer] > 0) {
    ShowPlayerUp(s.currentPlayer);
    return 1;
  }
  return 0;
}

void Game::EndMatch() {
  auto& match = engine.match;
  match.gameActive = false;
  match.paused = false;
  engine::ClearPlayArea(engine);
  engine::SaveWall(engine, engine.state.currentPlayer);
  DrawTitleScreen();
  platform.window.ClipCursor(nullptr);
  if (!match.cursorVisible) {
    match.cursorVisible = true;
    platform.window.ShowCursor(true);
  }
  SelectVariant(engine.settings.gameVariant);
  SelectPlayers(engine.settings.numPlayers);
  if (matchObserver) matchObserver->MatchEnded();
}

void Game::DrawPausedText() {
  engine.dc.SetTextColor(engine::kWhite);
  engine.dc.SetBkColor(engine::kBlack);
  engine.dc.TextOutA(220, 220, "Paused - <F3> to resume");
}

void Game::ShowPlayerUp(std::uint32_t player) {
  static constexpr const char* kTexts[] = {"Player 1 Up", "Player 2 Up", "Player 3 Up",
                                           "Player 4 Up"};
  auto& dc = engine.dc;
  dc.SetTextColor(engine::kWhite);
  dc.SetBkColor(engine::kBlack);
  if (player < 4) dc.TextOutA(260, 220, kTexts[player]);
}

void Game::CheckHighScore(std::int32_t score) {
  records::CheckHighScore(engine, *this, recordsState, score);
}

}  // namespace krelmo::app
