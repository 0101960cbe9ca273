// The menu's four selection groups, which hold the settings and keep the check marks and
// grey states in step with them, and the full redraw of the window.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>

#include "app/game.h"
#include "engine/frame.h"
#include "engine/playfield.h"
#include "resources/menu.h"

namespace krelmo::app {

using namespace resources;
using engine::Controller;
using engine::SoundMode;
using engine::Variant;
using platform::MFS_CHECKED;
using platform::MFS_GRAYED;

namespace {

// Each group's items in the order of the values they stand for.
constexpr int kSoundItems[] = {IDM_NO_SOUND, IDM_PC_SPEAKER, IDM_DIGITAL_AUDIO};
constexpr int kPlayersItems[] = {IDM_PLAYERS_1, IDM_PLAYERS_2, IDM_PLAYERS_3, IDM_PLAYERS_4};
constexpr int kVariantItems[] = {IDM_KRELMO, IDM_VARNAK};
constexpr int kControllerItems[] = {IDM_MOUSE, IDM_JOYSTICK};

template <class Choice>
constexpr std::size_t Index(Choice choice) {
  return static_cast<std::size_t>(choice);
}

// Where a command lies in a group, which is the value its item stands for.
std::optional<std::size_t> Position(std::span<const int> items, int id) {
  const auto item = std::find(items.begin(), items.end(), id);
  if (item == items.end()) return std::nullopt;
  return static_cast<std::size_t>(item - items.begin());
}

// Checks the chosen item and enables the others.
void CheckOnly(platform::MenuModel& menu, std::span<const int> items, std::size_t chosen) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    menu.SetState(items[i], i == chosen ? MFS_CHECKED : 0);
  }
}

// Greys every item and keeps its check mark, so that the group comes back as it was.
void Grey(platform::MenuModel& menu, std::span<const int> items) {
  for (const int id : items) menu.SetState(id, menu.GetState(id) | MFS_GRAYED);
}

}  // namespace

void Game::SelectSound(SoundMode mode) {
  auto& settings = engine.settings;
  settings.soundOn = mode != SoundMode::kNone;
  // "No Sound" leaves the choice between the recordings and the speaker as it was.
  if (settings.soundOn) settings.digitalSound = mode == SoundMode::kDigital;
  for (std::size_t i = 0; i < std::size(kSoundItems); ++i) {
    // Without the recordings "Digital Audio" stays grey, unless it is chosen.
    const bool grey = kSoundItems[i] == IDM_DIGITAL_AUDIO && !app.waveAvailable;
    platform.menu.SetState(kSoundItems[i], i == Index(mode) ? MFS_CHECKED : grey ? MFS_GRAYED : 0);
  }
}

void Game::SelectPlayers(std::uint32_t numPlayers) {
  engine.settings.numPlayers = numPlayers;
  CheckOnly(platform.menu, kPlayersItems, numPlayers);
}

void Game::GreyPlayersGroup() {
  Grey(platform.menu, kPlayersItems);
}

void Game::SelectVariant(Variant variant) {
  engine.settings.gameVariant = variant;
  CheckOnly(platform.menu, kVariantItems, Index(variant));
}

void Game::GreyVariantGroup() {
  Grey(platform.menu, kVariantItems);
}

void Game::SelectController(Controller controller) {
  engine.settings.useMouse = controller == Controller::kMouse;
  CheckOnly(platform.menu, kControllerItems, Index(controller));
}

void Game::SelectMouseWithoutJoystick() {
  engine.settings.useMouse = true;
  platform.menu.SetState(IDM_MOUSE, MFS_CHECKED);
  platform.menu.SetState(IDM_JOYSTICK, MFS_GRAYED);
}

bool Game::SelectFromMenu(int id) {
  if (const auto variant = Position(kVariantItems, id)) {
    SelectVariant(static_cast<Variant>(*variant));
  } else if (const auto players = Position(kPlayersItems, id)) {
    SelectPlayers(static_cast<std::uint32_t>(*players));
  } else if (const auto sound = Position(kSoundItems, id)) {
    SelectSound(static_cast<SoundMode>(*sound));
  } else if (const auto controller = Position(kControllerItems, id)) {
    SelectController(static_cast<Controller>(*controller));
  } else {
    return false;
  }
  return true;
}

void Game::RedrawGameWindow() {
  // During a match the field is the truth: bricks struck since the turn began must not come
  // back (and score again) from the slot's older copy.
  if (engine.match.gameActive) engine::SaveWall(engine, engine.state.currentPlayer);
  engine::RedrawWall(engine, engine.state.currentPlayer);
  engine::MovePaddle(engine, engine.state.paddleX);
  if (!engine.match.gameActive) {
    DrawTitleScreen();
    return;
  }
  if (engine.match.paused) DrawPausedText();
}

}  // namespace krelmo::app
