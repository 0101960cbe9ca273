// The play engine's context: the drawing surface and services it uses, the state it owns,
// and the hooks through which it calls up into the match flow and the scoreboard.
#pragma once

#include <functional>

#include "engine/state.h"
#include "platform/platform.h"
#include "timing/timer_module.h"

namespace krelmo::engine {

// Operations of the folders above the engine that a frame or a hit must reach. The
// application fills them in at start-up; the defaults do nothing.
class EngineHooks {
 public:
  virtual ~EngineHooks() = default;
  // 1 while the match goes on, 0 when nobody has a ball left.
  virtual int LoseBall() { return 1; }
  virtual void EndMatch() {}
  virtual void DrawScoreboard() {}
  virtual void PollJoystick() {}
};

struct Engine {
  Engine(platform::Platform& platform, timing::TimerModule& timer)
      : platform(platform), dc(platform.surface), timer(timer) {}

  platform::Platform& platform;
  platform::Surface& dc;  // every drawing operation paints here
  timing::TimerModule& timer;
  EngineHooks* hooks = &defaultHooks;
  // Called at the end of every ball step: after the ball is drawn, or after a lost ball has
  // been handed on. The simulator's trace and the tests watch the ball through it.
  std::function<void()> onStepEnd;
  // Set while a frame runs, so that no frame starts inside another.
  bool frameRunning = false;
  // Frames that have run, and the ball step of the running frame (1 to 119; 0 between
  // frames): where a replay notes the input a step took.
  std::uint64_t framesRun = 0;
  int step = 0;

  EngineState state;
  Settings settings;
  MatchState match;

  EngineHooks defaultHooks;
};

}  // namespace krelmo::engine
