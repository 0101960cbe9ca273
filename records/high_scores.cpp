// The two high-score tables: read and written as the store keeps them, their text form, the
// reset, and the check at the end of a player's game with the entry dialog's logic.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "records/records.h"
#include "records/registry_values.h"

namespace krelmo::records {

using namespace platform;

namespace {

constexpr std::int32_t kDefaultTopScore = 8000;
constexpr std::int32_t kDefaultScoreStep = 1000;
constexpr std::string_view kDefaultName = "Player 1";

}  // namespace

std::string ValueName(std::string_view prefix, engine::Variant variant, int rank) {
  return std::string(prefix) + std::to_string(static_cast<int>(variant) * kTableRows + rank);
}

namespace {

std::string Joined(const std::array<std::string, kTableRows>& items) {
  std::string out;
  for (int i = 0; i < kTableRows; ++i) out += (i > 0 ? "\n" : "") + items[i];
  return out;
}

// The text split at its newlines into exactly five fields, the last taking the rest.
std::array<std::string, kTableRows> Fields(std::string_view text) {
  std::array<std::string, kTableRows> out;
  for (int i = 0; i < kTableRows; ++i) {
    const std::size_t end = i + 1 < kTableRows ? text.find('\n') : std::string_view::npos;
    out[i] = std::string(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return out;
}

// Decimal with an optional sign, as the scores text writes it.
std::int32_t ToNumber(const std::string& field) {
  return static_cast<std::int32_t>(std::strtol(field.c_str(), nullptr, 10));
}

// The first row whose score is strictly lower than `score`; -1 when there is none.
int RowFor(const std::array<std::int32_t, kTableRows>& scores, std::int32_t score) {
  for (int row = 0; row < kTableRows; ++row) {
    if (scores[row] < score) return row;
  }
  return -1;
}

std::array<std::int32_t, kTableRows> Scores(const TableText& table) {
  std::array<std::int32_t, kTableRows> out{};
  const auto fields = Fields(table.scores);
  for (int i = 0; i < kTableRows; ++i) out[i] = ToNumber(fields[i]);
  return out;
}

void TellNotSaved(RecordsHooks& hooks, std::string_view what, const RegistryStore& registry) {
  hooks.Tell(std::string(what) + "\n\n" + registry.WriteError());
}

// The entry dialog: fills it in with the new entry in place, runs it, and writes the whole
// table back with the name typed. False when the table could not be written.
bool RunHighScoreDialog(engine::Engine& engine, RecordsHooks& hooks, RecordsState& state) {
  RegistryStore& registry = engine.platform.registry;
  const engine::Variant variant = engine.settings.gameVariant;
  const std::uint32_t player = engine.state.currentPlayer;
  hooks.SetDialogOpen(true);

  const TableText table = LoadHighScoreTable(registry, variant);
  state.names = Fields(table.names);
  auto scoreTexts = Fields(table.scores);
  state.tableScores = Scores(table);
  const std::int32_t score = engine.state.playerScore[player];
  const int row = RowFor(state.tableScores, score);
  if (row < 0) {
    hooks.SetDialogOpen(false);
    return true;
  }
  // The entry at rank 5 drops out; the new row's name static keeps its old text, hidden
  // under the edit box.
  for (int r = kTableRows - 1; r > row; --r) {
    state.tableScores[r] = state.tableScores[r - 1];
    state.names[r] = state.names[r - 1];
    scoreTexts[r] = scoreTexts[r - 1];
  }
  state.tableScores[row] = score;
  scoreTexts[row] = std::to_string(score);
  state.newEntryRow = row;

  HighScoreDialogContent content;
  content.names = state.names;
  content.scores = scoreTexts;
  content.editRow = row;
  content.editText = "Player " + std::to_string(player + 1);
  std::string typed = engine.platform.dialogs.ShowHighScoreDialog(content);

  // "OK": the statics' names with the one typed in place of the new row's.
  typed = typed.substr(0, std::min(typed.find('\0'), std::size_t{kMaxNameLength}));
  state.names[state.newEntryRow] = typed;
  HighScoreTable written;
  for (int r = 0; r < kTableRows; ++r) {
    written[r] = {state.tableScores[r], state.names[r].substr(0, kMaxNameLength)};
  }
  HKEY key = 0;
  bool saved = registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_ALL_ACCESS, &key) ==
               ERROR_SUCCESS;
  saved &= WriteHighScoreTable(registry, key, variant, written);
  saved &= registry.RegFlushKey(key) == ERROR_SUCCESS;
  registry.RegCloseKey(key);
  hooks.SetDialogOpen(false);
  return saved;
}

}  // namespace

HighScoreTable ReadHighScoreTable(RegistryStore& registry, engine::Variant variant) {
  HKEY key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_ALL_ACCESS, &key);
  HighScoreTable table;
  for (int r = 0; r < kTableRows; ++r) {
    const std::uint32_t bits = ReadDword(registry, key, ValueName("HSScore", variant, r + 1), 0);
    table[r].score = static_cast<std::int32_t>(bits);
    table[r].name = ReadName(registry, key, ValueName("HSName", variant, r + 1));
  }
  registry.RegCloseKey(key);
  return table;
}

TableText LoadHighScoreTable(RegistryStore& registry, engine::Variant variant) {
  const HighScoreTable table = ReadHighScoreTable(registry, variant);
  std::array<std::string, kTableRows> scores, names;
  for (int r = 0; r < kTableRows; ++r) {
    scores[r] = std::to_string(table[r].score);
    names[r] = table[r].name;
  }
  return {Joined(names), Joined(scores)};
}

bool WriteHighScoreTable(RegistryStore& registry, HKEY key, engine::Variant variant,
                         const HighScoreTable& table) {
  bool saved = true;
  for (int r = 0; r < kTableRows; ++r) {
    saved &= WriteName(registry, key, ValueName("HSName", variant, r + 1), table[r].name) ==
             ERROR_SUCCESS;
  }
  for (int r = 0; r < kTableRows; ++r) {
    saved &= WriteDword(registry, key, ValueName("HSScore", variant, r + 1),
                        static_cast<std::uint32_t>(table[r].score)) == ERROR_SUCCESS;
  }
  return saved;
}

bool ResetHighScores(engine::Engine& engine, RecordsHooks& hooks, bool ask) {
  if (ask && hooks.ShowMessageBox("Remove all high scores?", "Question",
                                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return true;
  }
  RegistryStore& registry = engine.platform.registry;
  HKEY key = 0;
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return true;  // no key, nothing to reset: as the game always has, silently
  }
  bool saved = true;
  for (int value = 1; value <= 2 * kTableRows; ++value) {
    saved &=
        WriteName(registry, key, "HSName" + std::to_string(value), kDefaultName) == ERROR_SUCCESS;
  }
  std::int32_t score = kDefaultTopScore;
  for (int rank = 1; rank <= kTableRows; ++rank, score -= kDefaultScoreStep) {
    for (const engine::Variant variant : {engine::Variant::kKrelmo, engine::Variant::kVarnak}) {
      saved &= WriteDword(registry, key, ValueName("HSScore", variant, rank),
                          static_cast<std::uint32_t>(score)) == ERROR_SUCCESS;
    }
  }
  saved &= registry.RegFlushKey(key) == ERROR_SUCCESS;
  registry.RegCloseKey(key);
  if (!saved && ask) TellNotSaved(hooks, "The high scores could not be reset.", registry);
  return saved;
}

void CheckHighScore(engine::Engine& engine, RecordsHooks& hooks, RecordsState& state,
                    std::int32_t score) {
  const TableText table = LoadHighScoreTable(engine.platform.registry, engine.settings.gameVariant);
  if (RowFor(Scores(table), score) < 0) return;

  auto& window = engine.platform.window;
  auto& match = engine.match;
  window.ClipCursor(nullptr);
  match.cursorVisible = true;
  match.paused = true;
  window.ShowCursor(true);
  // Losing a best score without a word would be the worst the game could do: the player is
  // told while the game still stands paused.
  if (!RunHighScoreDialog(engine, hooks, state)) {
    TellNotSaved(hooks, "Your high score could not be saved.", engine.platform.registry);
  }
  hooks.ConfinePointerToStrip();
  match.cursorVisible = false;
  match.paused = false;
  window.ShowCursor(false);
}

}  // namespace krelmo::records
