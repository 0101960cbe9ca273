// The menu's four selection groups, which hold the settings and keep the check marks and
// grey states in step with them, and the full redraw of the window.
#include "app/game.h"
#include "engine/frame.h"
#include "engine/playfield.h"
#include "resources/menu.h"

namespace krelmo::app {

using namespace resources;
using platform::MFS_CHECKED;
using platform::MFS_GRAYED;

void Game::SelectSound(int id) {
  auto& menu = platform.menu;
  auto& settings = engine.settings;
  std::uint32_t noSound = 0, digital = app.waveAvailable ? 0u : MFS_GRAYED, speaker = 0;
  if (id == IDM_DIGITAL_AUDIO) {
    settings.soundOn = true;
    settings.digitalSound = true;
    digital = MFS_CHECKED;
  } else if (id == IDM_NO_SOUND) {
    settings.soundOn = false;
    noSound = MFS_CHECKED;
  } else {
    settings.soundOn = true;
    settings.digitalSound = false;
    speaker = MFS_CHECKED;
  }
  menu.SetState(IDM_NO_SOUND, noSound);
  menu.SetState(IDM_PC_SPEAKER, speaker);
  menu.SetState(IDM_DIGITAL_AUDIO, digital);
}

void Game::SelectPlayers(int id) {
  auto& menu = platform.menu;
  constexpr int kIds[] = {IDM_PLAYERS_1, IDM_PLAYERS_2, IDM_PLAYERS_3, IDM_PLAYERS_4};
  std::uint32_t states[4];
  if (id == 0) {
    for (int i = 0; i < 4; ++i) states[i] = menu.GetState(kIds[i]) | MFS_GRAYED;
  } else {
    const std::uint32_t chosen = id == IDM_PLAYERS_1   ? 0
                                 : id == IDM_PLAYERS_2 ? 1
                                 : id == IDM_PLAYERS_3 ? 2
                                                       : 3;
    engine.settings.numPlayers = chosen;
    for (std::uint32_t i = 0; i < 4; ++i) states[i] = i == chosen ? MFS_CHECKED : 0;
  }
  for (int i = 0; i < 4; ++i) menu.SetState(kIds[i], states[i]);
}

void Game::SelectVariant(int id) {
  auto& menu = platform.menu;
  std::uint32_t krelmo = 0, varnak = 0;
  if (id == 0) {
    krelmo = menu.GetState(IDM_KRELMO) | MFS_GRAYED;
    varnak = menu.GetState(IDM_VARNAK) | MFS_GRAYED;
  } else if (id == IDM_KRELMO) {
    engine.settings.gameVariant = 0;
    krelmo = MFS_CHECKED;
  } else if (id == IDM_VARNAK) {
    engine.settings.gameVariant = 1;
    varnak = MFS_CHECKED;
  }
  menu.SetState(IDM_KRELMO, krelmo);
  menu.SetState(IDM_VARNAK, varnak);
}

void Game::SelectController(int id) {
  auto& menu = platform.menu;
  std::uint32_t mouse = 0, joystick = 0;
  if (id == 0) {
    engine.settings.useMouse = true;
    mouse = MFS_CHECKED;
    joystick = MFS_GRAYED;
  } else if (id == IDM_MOUSE) {
    engine.settings.useMouse = true;
    mouse = MFS_CHECKED;
  } else if (id == IDM_JOYSTICK) {
    engine.settings.useMouse = false;
    joystick = MFS_CHECKED;
  }
  menu.SetState(IDM_MOUSE, mouse);
  menu.SetState(IDM_JOYSTICK, joystick);
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
