// The replay's view of the game's state: the checks, the ending, and the match's start taken
// by the recorder and put back by the player through one list of what it holds.
#include "replay/game_state.h"

#include <type_traits>

namespace krelmo::replay {

namespace {

// The header keeps these values in types of its own.
template <class To, class From>
void Assign(To& to, const From& from) {
  to = static_cast<std::remove_cvref_t<To>>(from);
}

// Each value of the game that a match starts from beside the header's field that keeps it,
// for one copy either way. Besides the settings and the tables: those go through the menu
// groups and the store.
template <class GameRef, class HeaderRef, class Copy>
void EachStartValue(GameRef& game, HeaderRef& h, Copy copy) {
  auto& app = game.app;
  copy(app.randomSeed, h.seed);
  copy(app.waveAvailable, h.waveAvailable);
  copy(app.joystickPresent, h.joystickPresent);
  copy(app.appActive, h.appActive);
  // What StartNewGame leaves as it is, carried over from before the match.
  auto& s = game.engine.state;
  copy(s.paddleX, h.paddleX);
  copy(s.brickHitLatch, h.brickHitLatch);
  copy(s.shownScore, h.shownScore);
  copy(s.lastJoyX, h.lastJoyX);
  copy(s.joyInfo, h.joyInfo);
  copy(s.joyButton1Down, h.joyButton1Down);
  copy(s.joyButton2Down, h.joyButton2Down);
}

constexpr std::uint32_t kVariants = 2;

}  // namespace

std::uint64_t SurfaceCheck(const platform::Surface& surface) {
  std::uint64_t hash = 14695981039346656037ull;
  const std::uint32_t* pixels = surface.Pixels();
  for (int y = 0; y < platform::kClientHeight; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * platform::Surface::kWidth;
    for (int x = 0; x < platform::kClientWidth; ++x) hash = (hash ^ row[x]) * 1099511628211ull;
  }
  return hash;
}

std::uint32_t StateCheck(const engine::EngineState& s) {
  const std::uint32_t player = s.currentPlayer % engine::kPlayerSlots;
  const std::uint32_t values[] = {static_cast<std::uint16_t>(s.ballX),
                                  static_cast<std::uint16_t>(s.ballY),
                                  static_cast<std::uint16_t>(s.ballDX),
                                  static_cast<std::uint16_t>(s.ballDY),
                                  static_cast<std::uint16_t>(s.paddleX),
                                  s.currentPlayer,
                                  static_cast<std::uint32_t>(s.playerScore[player]),
                                  static_cast<std::uint32_t>(s.ballsLeft[player])};
  std::uint32_t hash = 2166136261u;
  for (const std::uint32_t v : values) hash = (hash ^ v) * 16777619u;
  return (hash ^ (hash >> 8) ^ (hash >> 16) ^ (hash >> 24)) & 0xFF;
}

Ending EndingOf(const engine::EngineState& state, const platform::Surface& surface) {
  Ending ending;
  ending.scores = state.playerScore;
  ending.balls = state.ballsLeft;
  ending.surface = SurfaceCheck(surface);
  return ending;
}

Header CaptureStart(const app::Game& game, platform::RegistryStore& store) {
  Header h;
  EachStartValue(game, h, [](const auto& value, auto& field) { Assign(field, value); });
  h.settings = game.engine.settings;
  for (std::uint32_t variant = 0; variant < kVariants; ++variant) {
    h.tables[variant] = records::ReadHighScoreTable(store, static_cast<engine::Variant>(variant));
  }
  return h;
}

void RestoreStore(const Header& h, platform::RegistryStore& store) {
  using namespace platform;
  HKEY key = 0;
  std::uint32_t disposition = 0;
  store.RegCreateKeyExA(HKEY_LOCAL_MACHINE, records::kGameKey, 0, "", REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition);
  records::WriteSettings(store, key, h.settings);
  for (std::uint32_t variant = 0; variant < kVariants; ++variant) {
    records::WriteHighScoreTable(store, key, static_cast<engine::Variant>(variant),
                                 h.tables[variant]);
  }
  store.RegCloseKey(key);
}

void RestoreStart(const Header& h, app::Game& game) {
  EachStartValue(game, h, [](auto& value, const auto& field) { Assign(value, field); });
  // The menu groups show the recorded settings, greyed as the recorded devices had them; the
  // settings are then the recorded ones to the letter.
  const auto& s = h.settings;
  game.SelectSound(engine::SoundModeOf(s));
  game.SelectPlayers(s.numPlayers);
  game.SelectVariant(s.gameVariant);
  game.SelectController(s.useMouse ? engine::Controller::kMouse : engine::Controller::kJoystick);
  game.engine.settings = s;
}

}  // namespace krelmo::replay
