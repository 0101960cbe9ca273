// The cost of one ball step with no waiting (stepDelay 0), on any front end that can be
// built as a Platform, so what is timed is the step's own work. Registered once per font
// the surface draws text with.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/game.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "platform/font.h"

namespace krelmo::bench {

// A started game in the middle of a match, with nothing recorded that would grow without
// end over millions of steps.
template <class Host>
struct StepRig {
  explicit StepRig(const platform::GlyphTable* font) {
    host.surface.SetFont(font);
    game.timer.SetReportSink([](std::string_view) {});
    game.InitApplication();
    host.pc.RecordWritesTo(nullptr);
    auto& e = game.engine;
    e.match.gameActive = true;
    e.match.cursorVisible = false;
    e.settings.soundOn = false;
    e.state.ballsLeft = {4, 4, 4, 4};
    // No wait before the step: a front end's clock may be a real one.
    e.state.stepDelay = 0;
    engine::DrawFrameWalls(e);
    engine::DrawFullWall(e);
    engine::ClearPlayArea(e);
    engine::MovePaddle(e, 290);
  }
  void PlaceBall(int x, int y, int dx, int dy) {
    auto& s = game.engine.state;
    s.ballX = static_cast<std::int16_t>(x);
    s.ballY = static_cast<std::int16_t>(y);
    s.ballDX = static_cast<std::int16_t>(dx);
    s.ballDY = static_cast<std::int16_t>(dy);
  }
  // Up into the red row: a strike, its points and the scoreboard. The struck brick is drawn
  // again for the next step, and that is timed too.
  void Strike() {
    auto& e = game.engine;
    // Scores stay in a band, as in a match: the last digits change from strike to strike.
    e.state.playerScore[e.state.currentPlayer & 3] = scoreBase + (strikes++ % 200) * 5;
    PlaceBall(100, 133, 1, -1);
    e.state.brickHitLatch = false;
    benchmark::DoNotOptimize(engine::BallStep(e, 1));
    e.dc.SelectObject(engine::redBrush);
    e.dc.SelectObject(engine::redPen);
    e.dc.Rectangle(81, 120, 111, 132);
    e.dc.SelectObject(engine::blackPen);
  }

  Host host;
  app::Game game{host.Get()};
  std::int32_t scoreBase = 1000;
  std::int32_t strikes = 0;
};

// "BallStep/<font>/<case>" for each case; the reporter relates the four-player strike to
// the open field of the same font.
// Five short runs of each: the figure is the fastest, the one least disturbed by whatever
// else the machine does.
inline void Steady(benchmark::internal::Benchmark* b) {
  b->Repetitions(5)->MinTime(0.1);
}

template <class Host>
void RegisterStepBenchmarks(const std::string& fontName, const platform::GlyphTable* font) {
  const std::string prefix = "BallStep/" + fontName + "/";
  Steady(benchmark::RegisterBenchmark(
      (prefix + "open field").c_str(), [font](benchmark::State& state) {
        StepRig<Host> b(font);
        for (auto _ : state) {
          b.PlaceBall(300, 300, 1, -1);
          benchmark::DoNotOptimize(engine::BallStep(b.game.engine, 1));
        }
      }));
  Steady(benchmark::RegisterBenchmark(
      (prefix + "open field, paddle moved").c_str(), [font](benchmark::State& state) {
        StepRig<Host> b(font);
        int x = 200;
        for (auto _ : state) {
          b.PlaceBall(300, 300, 1, -1);
          x = x == 200 ? 201 : 200;
          b.host.queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(x, 420));
          benchmark::DoNotOptimize(engine::BallStep(b.game.engine, 1));
        }
      }));
  // In the band, in a shaft through the wall: all eight probes read, none finds a brick.
  Steady(benchmark::RegisterBenchmark(
      (prefix + "brick band, no hit").c_str(), [font](benchmark::State& state) {
        StepRig<Host> b(font);
        auto& e = b.game.engine;
        e.dc.SelectObject(engine::blackBrush);
        e.dc.Rectangle(engine::CellLeft(9), 60, engine::CellLeft(10), 132);
        for (auto _ : state) {
          b.PlaceBall(301, 100, 1, -1);
          benchmark::DoNotOptimize(engine::BallStep(e, 1));
        }
      }));
  Steady(benchmark::RegisterBenchmark((prefix + "brick struck, no scoreboard").c_str(),
                                      [font](benchmark::State& state) {
                                        StepRig<Host> b(font);
                                        engine::EngineHooks quiet;
                                        b.game.engine.hooks = &quiet;
                                        for (auto _ : state) b.Strike();
                                      }));
  Steady(benchmark::RegisterBenchmark((prefix + "brick struck, one player").c_str(),
                                      [font](benchmark::State& state) {
                                        StepRig<Host> b(font);
                                        for (auto _ : state) b.Strike();
                                      }));
  // Player 3's turn of four: "Player 3) ..." and "B:..." in red, three others in blue and
  // black, redrawn on every strike.
  Steady(benchmark::RegisterBenchmark((prefix + "brick struck, four players").c_str(),
                                      [font](benchmark::State& state) {
                                        StepRig<Host> b(font);
                                        auto& s = b.game.engine.state;
                                        b.game.engine.settings.numPlayers = 3;
                                        s.currentPlayer = 2;
                                        s.playerScore = {12340, 8050, 23120, 450};
                                        b.scoreBase = 23120;
                                        s.ballsLeft = {3, 2, 4, 0};
                                        for (auto _ : state) b.Strike();
                                      }));
}

}  // namespace krelmo::bench
