// Pacing against the real clock: frames run on the monotonic clock through the emulated
// interval timer and the TIMER module, and each step's length is compared with stepDelay.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "engine/frame.h"
#include "engine/playfield.h"
#include "frontend/headless/headless_platform.h"
#include "platform/platform.h"
#include "timing/timer_module.h"
#include "tools/bench/figures.h"

namespace krelmo::bench {
namespace {

using Clock = std::chrono::steady_clock;

class IdleFrameHost final : public platform::FrameHost {
 public:
  void WhileWaiting(std::uint32_t) override {}
  void WaitForEvents() override {}
};

struct PacingRig {
  PacingRig() {
    timer.TM_Init(1);
    auto& s = engine.state;
    s.ballsLeft = {4, 4, 4, 4};
    engine::DrawFrameWalls(engine);
    engine::DrawFullWall(engine);
    engine::ClearPlayArea(engine);
    engine::MovePaddle(engine, 290);
    s.ballX = 316;
    s.ballY = 300;
    s.ballDX = 1;
    s.ballDY = -1;
    // The paddle follows the ball without drawing, so the rally never ends.
    engine.onStepEnd = [this] {
      ends.push_back(Clock::now());
      auto& st = engine.state;
      st.paddleX = static_cast<std::int16_t>(std::clamp(st.ballX - engine::kBallOverPaddleMiddle,
                                                        engine::kPaddleLeftmost,
                                                        engine::kPaddleRightmostByMouse));
    };
  }

  platform::SteadyClock clock;
  platform::PcHardware pc{clock};
  IdleFrameHost frameHost;
  platform::Surface surface;
  platform::MessageQueue queue;
  headless::HeadlessWindowSystem window;
  headless::ScriptedDialogs dialogs{queue};
  platform::MenuModel menu;
  headless::RecordingSound sound;
  headless::FakeJoystick joystick;
  platform::Registry registry;
  platform::Platform platform{surface, queue, pc,    frameHost, window,
                              dialogs, menu,  sound, joystick,  registry};
  timing::TimerModule timer{pc};
  engine::Engine engine{platform, timer};
  std::vector<Clock::time_point> ends;
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
  return values[std::min(at, values.size() - 1)];
}

void Pacing(benchmark::State& state) {
  const auto stepDelay = static_cast<std::int32_t>(state.range(0));
  const int frames = static_cast<int>(state.range(1));
  PacingRig rig;
  std::vector<double> overshoot;
  double busy = 0;  // seconds inside frames
  std::size_t steps = 0;
  const double nominal = static_cast<double>(stepDelay) / platform::kPitTicksPerSecond;
  for (auto _ : state) {
    for (int f = 0; f < frames; ++f) {
      rig.engine.state.stepDelay = stepDelay;  // a cleared wall would speed the ball up
      rig.ends.clear();
      const auto start = Clock::now();
      engine::RunFrame(rig.engine);
      auto previous = start;
      for (const auto end : rig.ends) {
        const double length = std::chrono::duration<double>(end - previous).count();
        overshoot.push_back((length - nominal) * 1e6);
        previous = end;
      }
      busy += std::chrono::duration<double>(previous - start).count();
      steps += rig.ends.size();
    }
  }
  const double achieved = static_cast<double>(steps) / busy;
  const double wanted = 1.0 / nominal;
  state.counters["steps"] = static_cast<double>(steps);
  const std::string at = " at stepDelay " + std::to_string(stepDelay);
  auto& figures = Figures();
  figures.push_back({"steps per second" + at, achieved, "/s", ""});
  figures.push_back({"nominal steps per second" + at, wanted, "/s", ""});
  figures.push_back({"achieved vs nominal" + at, (achieved / wanted - 1) * 100, "%", ">= -0.5"});
  figures.push_back({"step overshoot p50" + at, Percentile(overshoot, 0.50), "us", ""});
  figures.push_back({"step overshoot p99" + at, Percentile(overshoot, 0.99), "us", "<= 20"});
  figures.push_back({"step overshoot max" + at,
                     overshoot.empty() ? 0 : *std::max_element(overshoot.begin(), overshoot.end()),
                     "us", ""});
}

// Eight frames at the slowest pace and sixteen at the fastest: about 3.5 s each.
BENCHMARK(Pacing)
    ->Args({4500, 8})
    ->Args({2200, 16})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace krelmo::bench
