// The main menu: its items, their command ids, texts and the state each has before the
// settings are loaded. The window procedure and the Qt menu bar are both built from this.
#pragma once

#include <cstdint>

#include "platform/menu_model.h"

namespace krelmo::resources {

struct MenuItemDef {
  const char* menu;     // top-level menu
  const char* submenu;  // nullptr for an item of the top-level menu itself
  const char* text;     // nullptr for a separator
  int id;
  std::uint32_t initialState;
};

// Command ids.
constexpr int IDM_NEW_ABORT = 57600;
constexpr int IDM_PAUSE_RESUME = 40012;
constexpr int IDM_EXIT = 57602;
constexpr int IDM_KRELMO = 40010;
constexpr int IDM_VARNAK = 40011;
constexpr int IDM_PLAYERS_1 = 40006;
constexpr int IDM_PLAYERS_2 = 40007;
constexpr int IDM_PLAYERS_3 = 40008;
constexpr int IDM_PLAYERS_4 = 40009;
constexpr int IDM_NO_SOUND = 40003;
constexpr int IDM_DIGITAL_AUDIO = 40004;
constexpr int IDM_PC_SPEAKER = 40005;
constexpr int IDM_MOUSE = 40015;
constexpr int IDM_JOYSTICK = 40016;
constexpr int IDM_RESET_HIGH_SCORES = 40013;
constexpr int IDM_CONTENTS = 40014;
constexpr int IDM_ABOUT = 40002;

inline constexpr MenuItemDef kMainMenu[] = {
    {"File", nullptr, "New/Abort\t(F2)", IDM_NEW_ABORT, 0},
    {"File", nullptr, "Pause/Resume\t(F3)", IDM_PAUSE_RESUME, 0},
    {"File", nullptr, "Exit\t(Alt+F4)", IDM_EXIT, 0},
    {"Game", nullptr, "Krelmo", IDM_KRELMO, 0},
    {"Game", nullptr, "Varnak", IDM_VARNAK, 0},
    {"Game", nullptr, nullptr, 0, 0},
    {"Game", "Players", "1 Player", IDM_PLAYERS_1, 8},
    {"Game", "Players", "2 Players", IDM_PLAYERS_2, 3},
    {"Game", "Players", "3 Players", IDM_PLAYERS_3, 3},
    {"Game", "Players", "4 Players", IDM_PLAYERS_4, 3},
    {"Game", "Sound", "No Sound", IDM_NO_SOUND, 0},
    {"Game", "Sound", "Digital Audio", IDM_DIGITAL_AUDIO, 0},
    {"Game", "Sound", "PC Speaker", IDM_PC_SPEAKER, 0},
    {"Game", "Controller", "Mouse", IDM_MOUSE, 8},
    {"Game", "Controller", "Joystick", IDM_JOYSTICK, 0},
    {"Game", nullptr, nullptr, 0, 0},
    {"Game", nullptr, "Reset High Scores", IDM_RESET_HIGH_SCORES, 0},
    {"Help", nullptr, "Contents", IDM_CONTENTS, 0},
    {"Help", nullptr, "About", IDM_ABOUT, 0},
};

// The menu's state words as the game starts: every item with a command in its initial state.
inline platform::MenuModel& LoadMainMenu(platform::MenuModel& menu) {
  for (const auto& item : kMainMenu) {
    if (item.id != 0) menu.AddItem(item.id, item.initialState);
  }
  return menu;
}

}  // namespace krelmo::resources
