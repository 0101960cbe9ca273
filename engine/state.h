// The game's program-wide state, grouped in plain structs so that a test can start from
// fresh ones: the engine's variables and player slots, the settings, the match flags.
#pragma once

#include <array>
#include <cstdint>

#include "engine/geometry.h"
#include "platform/colour.h"
#include "platform/joystick.h"

namespace krelmo::engine {

constexpr int kPlayerSlots = 4;

// Row-major, row 0 and column 0 first: the colour read at each cell's save point.
using SavedWall = std::array<Colour, kBricks>;

// lastJoyX before the joystick has moved the paddle for the first time.
constexpr std::uint32_t kNoJoystickMoveYet = 0xFFFFFFFF;

struct EngineState {
  std::int16_t paddleX = 290;
  std::int16_t ballX = 0;
  std::int16_t ballY = kBallParked;  // out of play until the first serve
  std::int16_t ballDX = 1;
  std::int16_t ballDY = -1;
  std::int32_t stepDelay = 4500;
  bool brickHitLatch = false;
  std::int32_t shownScore = 0;

  // The joystick poll's memory: the last reading, the buttons that were down at the last
  // poll, and the X at which the paddle last moved.
  platform::JoystickReading joyInfo;
  bool joyButton1Down = false;
  bool joyButton2Down = false;
  std::uint32_t lastJoyX = kNoJoystickMoveYet;

  std::uint32_t currentPlayer = 0;
  std::array<std::int32_t, kPlayerSlots> playerScore{};
  std::array<std::int32_t, kPlayerSlots> ballsLeft{};
  std::array<SavedWall, kPlayerSlots> savedWall{};
};

// The two games of the Game menu, numbered as the settings file ("DefaultGame"), the
// high-score values and the replays number them.
enum class Variant : std::uint32_t { kKrelmo = 0, kVarnak = 1 };

// The Sound menu's three choices, numbered as the settings file keeps them ("DefaultSound").
enum class SoundMode : std::uint32_t { kNone = 0, kSpeaker = 1, kDigital = 2 };

// The Controller menu's two choices.
enum class Controller { kMouse, kJoystick };

// Written only through the menu's selection groups (and the settings load).
struct Settings {
  std::uint32_t numPlayers = 0;  // players minus one, 0 to 3
  Variant gameVariant = Variant::kKrelmo;
  bool soundOn = false;
  bool digitalSound = false;  // with soundOn: the recordings, not the speaker
  bool useMouse = true;       // the mouse, not the joystick
};

// The sound mode that soundOn and digitalSound stand for.
constexpr SoundMode SoundModeOf(const Settings& settings) {
  if (!settings.soundOn) return SoundMode::kNone;
  return settings.digitalSound ? SoundMode::kDigital : SoundMode::kSpeaker;
}

struct MatchState {
  bool gameActive = false;
  bool paused = false;
  bool cursorVisible = true;
  std::int16_t savedBallY = 0;
};

}  // namespace krelmo::engine
