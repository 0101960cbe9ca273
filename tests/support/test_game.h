// A game on the headless front end, started up as the real program starts.
#pragma once

#include "app/game.h"
#include "frontend/headless/headless_platform.h"

namespace krelmo::testing {

struct TestGame {
  TestGame();
  headless::HeadlessPlatform host;
  app::Game game{host.Get()};
  engine::Engine& engine = game.engine;
  platform::Surface& dc = host.surface;
};

// A started game: InitApplication has run and its queue is empty.
struct StartedGame : TestGame {
  StartedGame();
};

}  // namespace krelmo::testing
