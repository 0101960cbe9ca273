// A game on the headless front end, started up as the real program starts, and what the tests
// do to it as a player would: keys, menu choices, ticks of the play timer, bricks knocked out.
#pragma once

#include <cstdint>
#include <string_view>

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

// A first press of a key, as the window system sends it.
constexpr LPARAM kFirstPress = MakeKeyLParam(0x3C, false, false, false);

// Input posted into the game's queue, as a front end posts it, and dispatched at once.
void Press(app::Game& game, WPARAM key);
void Choose(app::Game& game, int commandId);
void Frames(app::Game& game, int count);

// A brick knocked out of the wall on screen, and whether one stands at its save point.
void RemoveBrick(platform::Surface& dc, int row, int column);
bool BrickStands(const platform::Surface& dc, int row, int column);

// The game's key in a settings store, opened (created) for a test to seed or read.
struct GameKey {
  explicit GameKey(platform::Registry& registry);
  ~GameKey();
  std::uint32_t Dword(std::string_view name);  // 99 when absent
  void Set(std::string_view name, std::uint32_t value);
  void SetName(std::string_view name, std::string_view text);
  platform::Registry& registry;
  platform::HKEY key = 0;
};

}  // namespace krelmo::testing
