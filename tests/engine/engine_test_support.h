// A game on the headless front end set up for the play engine's tests: the timing module
// running, the pen of play selected, and hooks that record the calls the engine makes upward.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "tests/support/test_game.h"

namespace krelmo::engine {

// Stands in for the match flow and the scoreboard: counts what the engine asks of them.
class RecordingHooks : public EngineHooks {
 public:
  explicit RecordingHooks(Engine& engine) : engine_(engine) {}

  int LoseBall() override {
    ++lostBalls;
    return loseBallResult;
  }
  void EndMatch() override { ++endedMatches; }
  // As the scoreboard does: what it shows is the current player's score.
  void DrawScoreboard() override {
    ++scoreboards;
    engine_.state.shownScore = engine_.state.playerScore[engine_.state.currentPlayer];
  }
  void PollJoystick() override { pollsAtStep.push_back(stepsEnded); }

  int loseBallResult = 1;
  int lostBalls = 0;
  int endedMatches = 0;
  int scoreboards = 0;
  int stepsEnded = 0;
  std::vector<int> pollsAtStep;

 private:
  Engine& engine_;
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    t.game.timer.TM_Init(1);
    engine.hooks = &hooks;
    engine.onStepEnd = [this] { ++hooks.stepsEnded; };
    dc.SelectObject(blackPen);
    host.portWrites.clear();
  }

  void PlaceBall(int x, int y, int dx, int dy) {
    auto& s = engine.state;
    s.ballX = static_cast<std::int16_t>(x);
    s.ballY = static_cast<std::int16_t>(y);
    s.ballDX = static_cast<std::int16_t>(dx);
    s.ballDY = static_cast<std::int16_t>(dy);
  }
  // Paints a solid area in one colour, as something drawn over the playfield would.
  void Fill(int left, int top, int right, int bottom, Colour colour) {
    dc.SelectObject(Brush{colour});
    dc.SelectObject(Pen{colour});
    dc.Rectangle(left, top, right, bottom);
    dc.SelectObject(blackPen);
  }
  // Every brick of one column of the wall gone: a shaft through the wall.
  void RemoveColumn(int column) {
    for (int row = 0; row < kBrickRows; ++row) krelmo::testing::RemoveBrick(dc, row, column);
  }
  bool CellIsBlack(int row, int column) const {
    for (int y = CellTop(row); y < CellTop(row + 1); ++y) {
      for (int x = CellLeft(column); x < CellLeft(column + 1); ++x) {
        if (dc.GetPixel(x, y) != 0) return false;
      }
    }
    return true;
  }
  std::int32_t Score() const { return engine.state.playerScore[0]; }
  std::vector<int> WavesPlayed() const {
    std::vector<int> waves;
    for (const auto& play : host.sound.plays) waves.push_back(play.waveId);
    return waves;
  }
  void UseDigitalSound() {
    engine.settings.soundOn = true;
    engine.settings.digitalSound = true;
  }

  krelmo::testing::TestGame t;
  headless::HeadlessPlatform& host = t.host;
  Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
  RecordingHooks hooks{engine};
};

}  // namespace krelmo::engine
