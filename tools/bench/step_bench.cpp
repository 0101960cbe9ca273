// The cost of one ball step with no waiting: the headless front end's frame host jumps its
// hand-driven clock to the end of each wait, so what is timed is the step's own work.
#include <benchmark/benchmark.h>

#include "app/game.h"
#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "frontend/headless/headless_platform.h"

namespace krelmo::bench {
namespace {

// A started game in the middle of a match, with nothing recorded that would grow without
// end over millions of steps.
struct StepBench {
  StepBench() {
    game.timer.SetReportSink([](std::string_view) {});
    game.InitApplication();
    host.pc.RecordWritesTo(nullptr);
    auto& e = game.engine;
    e.match.gameActive = 1;
    e.match.cursorVisible = 0;
    e.settings.soundOn = 0;
    e.state.ballsLeft = {4, 4, 4, 4};
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

  headless::HeadlessPlatform host;
  app::Game game{host.Get()};
};

void OpenField(benchmark::State& state) {
  StepBench b;
  for (auto _ : state) {
    b.PlaceBall(300, 300, 1, -1);
    benchmark::DoNotOptimize(engine::BallStep(b.game.engine, 1));
  }
}

void OpenFieldWithMouseMove(benchmark::State& state) {
  StepBench b;
  int x = 200;
  for (auto _ : state) {
    b.PlaceBall(300, 300, 1, -1);
    x = x == 200 ? 201 : 200;
    b.host.queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(x, 420));
    benchmark::DoNotOptimize(engine::BallStep(b.game.engine, 1));
  }
}

// In the band, in a shaft through the wall: all eight probes read, none finds a brick.
void BrickBand(benchmark::State& state) {
  StepBench b;
  auto& e = b.game.engine;
  e.dc.SelectObject(engine::blackBrush);
  e.dc.Rectangle(engine::CellLeft(9), 60, engine::CellLeft(10), 132);
  for (auto _ : state) {
    b.PlaceBall(301, 100, 1, -1);
    benchmark::DoNotOptimize(engine::BallStep(e, 1));
  }
}

// Up into the red row: a strike, its points and the scoreboard. The struck brick is drawn
// again for the next step, and that is timed too.
void BrickStrike(benchmark::State& state) {
  StepBench b;
  auto& e = b.game.engine;
  for (auto _ : state) {
    b.PlaceBall(100, 133, 1, -1);
    e.state.brickHitLatch = false;
    benchmark::DoNotOptimize(engine::BallStep(e, 1));
    e.dc.SelectObject(engine::redBrush);
    e.dc.SelectObject(engine::redPen);
    e.dc.Rectangle(81, 120, 111, 132);
    e.dc.SelectObject(engine::blackPen);
  }
}

// The same strike with the scoreboard left undrawn: what the engine's own part costs.
void BrickStrikeWithoutScoreboard(benchmark::State& state) {
  StepBench b;
  auto& e = b.game.engine;
  engine::EngineHooks quiet;
  e.hooks = &quiet;
  for (auto _ : state) {
    b.PlaceBall(100, 133, 1, -1);
    e.state.brickHitLatch = false;
    benchmark::DoNotOptimize(engine::BallStep(e, 1));
    e.dc.SelectObject(engine::redBrush);
    e.dc.SelectObject(engine::redPen);
    e.dc.Rectangle(81, 120, 111, 132);
    e.dc.SelectObject(engine::blackPen);
  }
}

BENCHMARK(OpenField)->Name("BallStep/open field");
BENCHMARK(OpenFieldWithMouseMove)->Name("BallStep/open field, paddle moved");
BENCHMARK(BrickBand)->Name("BallStep/brick band, no hit");
BENCHMARK(BrickStrike)->Name("BallStep/brick band, brick struck");
BENCHMARK(BrickStrikeWithoutScoreboard)->Name("BallStep/brick band, brick struck, no scoreboard");

}  // namespace
}  // namespace krelmo::bench
