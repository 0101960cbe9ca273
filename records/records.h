// The records: the settings and the two high-score tables kept in the registry, the
// high-score check with its entry dialog, and the title screen that shows both tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine.h"

namespace krelmo::records {

// Under HKEY_LOCAL_MACHINE: the settings reach it in two steps, the tables in one.
constexpr std::string_view kSoftwareKey = "SOFTWARE";
constexpr std::string_view kGameSubKey = "By Tenvarre\\Krelmo'99\\v2";
constexpr std::string_view kGameKey = "SOFTWARE\\By Tenvarre\\Krelmo'99\\v2";

constexpr int kTableRows = 5;

// What the records need of the application above them.
class RecordsHooks {
 public:
  virtual ~RecordsHooks() = default;
  // The menu's selection groups, which hold the settings.
  virtual void SelectSound(engine::SoundMode mode) = 0;
  // The number of players minus one, 0 to 3.
  virtual void SelectPlayers(std::uint32_t numPlayers) = 0;
  virtual void SelectVariant(engine::Variant variant) = 0;
  virtual void SelectController(engine::Controller controller) = 0;
  // The mouse, with "Joystick" greyed: the first run, or no joystick found.
  virtual void SelectMouseWithoutJoystick() = 0;
  // A message box owned by the main window, with messageBoxOpen set while it is shown.
  virtual int ShowMessageBox(std::string_view text, std::string_view caption,
                             std::uint32_t style) = 0;
  // Such a box under the game's name, with a warning and "OK" alone: something went wrong.
  virtual void Tell(std::string_view text) = 0;
  virtual void SetDialogOpen(bool open) = 0;
  // Puts the pointer back into the paddle strip without moving it.
  virtual void ConfinePointerToStrip() = 0;
};

// The entry dialog's table: written when it opens, read back on "OK".
struct RecordsState {
  std::array<std::int32_t, kTableRows> tableScores{};
  std::int32_t newEntryRow = 0;
  std::array<std::string, kTableRows> names;  // what the name statics show
};

// A table in its text form: five names and five scores, each joined by newlines.
struct TableText {
  std::string names;
  std::string scores;
};

// A variant's table as the store keeps it, rank 1 first.
struct TableRow {
  std::int32_t score = 0;
  std::string name;
};
using HighScoreTable = std::array<TableRow, kTableRows>;

// First run (no key yet): the defaults are selected and written and both tables reset.
// Later runs: each stored value is selected through its menu group.
void LoadSettings(engine::Engine& engine, RecordsHooks& hooks, bool waveAvailable);
// At shutdown. A save that fails says so on the error stream; false then.
bool SaveSettings(engine::Engine& engine);
// The four settings' values under the game's open key, as the game stores them.
void WriteSettings(platform::RegistryStore& registry, platform::HKEY key,
                   const engine::Settings& settings);

// A variant's table from the store; a value that is missing or of the wrong type reads as a
// score of 0 or an empty name.
HighScoreTable ReadHighScoreTable(platform::RegistryStore& registry, engine::Variant variant);
TableText LoadHighScoreTable(platform::RegistryStore& registry, engine::Variant variant);
// A variant's table under the game's open key, names first; false when any write failed.
bool WriteHighScoreTable(platform::RegistryStore& registry, platform::HKEY key,
                         engine::Variant variant, const HighScoreTable& table);
// Both tables back to their defaults, after "Remove all high scores?" when `ask` is set. A
// reset asked for that cannot be written is reported to the player; false then.
bool ResetHighScores(engine::Engine& engine, RecordsHooks& hooks, bool ask);
// A player's game is over: a score that gets into the current variant's table is entered
// there through the high-score dialog.
void CheckHighScore(engine::Engine& engine, RecordsHooks& hooks, RecordsState& state,
                    std::int32_t score);

// The title (or "Game Over") and both tables, drawn over whatever the window shows.
void DrawTitleScreen(engine::Engine& engine);

}  // namespace krelmo::records
