// The records: settings that survive a restart, the high-score tables and their check, the
// reset, and the title screen that shows both tables.
#include "records/records.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

#include "engine/palette.h"
#include "records/registry_values.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::records {
namespace {

using namespace resources;
using engine::Variant;
using platform::HKEY;
using platform::HKEY_LOCAL_MACHINE;
using platform::KEY_ALL_ACCESS;
using platform::Registry;
using testing::StartedGame;
using testing::TestGame;

const std::string kDefaultNames = "Player 1\nPlayer 1\nPlayer 1\nPlayer 1\nPlayer 1";
const std::string kDefaultScores = "8000\n7000\n6000\n5000\n4000";

// Opens (creating) the game's key for a test to read or seed.
struct Key {
  explicit Key(Registry& r) : registry(r) {
    registry.RegCreateKeyExA(HKEY_LOCAL_MACHINE, std::string(kGameKey), 0, "", 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr);
  }
  ~Key() { registry.RegCloseKey(key); }
  std::uint32_t Dword(std::string_view name) { return ReadDword(registry, key, name, 99); }
  void Set(std::string_view name, std::uint32_t value) { WriteDword(registry, key, name, value); }
  void SetName(std::string_view name, std::string_view text) {
    WriteName(registry, key, name, text);
  }
  Registry& registry;
  HKEY key = 0;
};

std::uint32_t Checked(const TestGame& t, int id) {
  return t.host.menu.GetState(id) & 8u;
}

TEST(Settings, AFirstRunSelectsAndWritesTheDefaultsAndResetsBothTables) {
  for (const bool wave : {true, false}) {
    TestGame t;
    t.host.sound.available = wave;
    t.game.InitApplication();
    const auto& s = t.engine.settings;
    EXPECT_EQ(std::tie(s.numPlayers, s.gameVariant, s.soundOn, s.digitalSound),
              std::make_tuple(0u, Variant::kKrelmo, true, wave));
    Key key(t.host.registry);
    EXPECT_EQ((std::array{key.Dword("NumPlayers"), key.Dword("DefaultGame"),
                          key.Dword("DefaultSound"), key.Dword("UseMouse")}),
              (std::array{0u, 0u, wave ? 2u : 1u, 1u}));
    for (const Variant variant : {Variant::kKrelmo, Variant::kVarnak}) {
      const TableText table = LoadHighScoreTable(t.host.registry, variant);
      EXPECT_EQ(table.names, kDefaultNames);
      EXPECT_EQ(table.scores, kDefaultScores);
    }
    EXPECT_TRUE(t.host.dialogs.shown.empty()) << "the first run asks nothing";
  }
}

TEST(Settings, StoredValuesAreSelectedThroughTheMenuGroupsAndSavedAtShutdown) {
  struct Case {
    const char* what;
    std::function<void(Key&)> seed;
    std::uint32_t players;
    Variant variant;
    bool soundOn, useMouse;
    int soundChecked;  // 0: no check mark in the Sound group
    std::uint32_t savedSound;
  };
  const Case cases[] = {
      {"out-of-range values",
       [](Key& k) {
         k.Set("NumPlayers", 7), k.Set("DefaultGame", 5), k.Set("DefaultSound", 3);
         k.Set("UseMouse", 1);
       },
       3, Variant::kVarnak, false, true, 0, 0},
      {"an existing key whose values were deleted", [](Key&) {}, 0, Variant::kKrelmo, false, false,
       IDM_NO_SOUND, 0},
      {"values of a wrong type or size",
       [](Key& k) {
         k.SetName("NumPlayers", "2");
         const std::uint8_t two[2] = {1, 0};
         k.registry.RegSetValueExA(k.key, "DefaultGame", 0, platform::REG_DWORD, two, 2);
         k.Set("DefaultSound", 1), k.Set("UseMouse", 0);
       },
       0, Variant::kKrelmo, true, false, IDM_PC_SPEAKER, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestGame t;
    t.host.joystick.present = true;
    {
      Key key(t.host.registry);
      c.seed(key);
    }
    t.game.InitApplication();
    const auto& s = t.engine.settings;
    EXPECT_EQ(std::tie(s.numPlayers, s.gameVariant, s.soundOn, s.useMouse),
              std::tie(c.players, c.variant, c.soundOn, c.useMouse));
    for (const int id : {IDM_NO_SOUND, IDM_PC_SPEAKER, IDM_DIGITAL_AUDIO}) {
      EXPECT_EQ(Checked(t, id) != 0, id == c.soundChecked) << id;
    }
    EXPECT_EQ(LoadHighScoreTable(t.host.registry, Variant::kKrelmo).scores, "0\n0\n0\n0\n0")
        << "no reset: the key existed";
    t.game.ShutdownApplication();
    EXPECT_EQ(Key(t.host.registry).Dword("DefaultSound"), c.savedSound);
  }
}

TEST(HighScores, AScoreGetsInAtTheFirstRankItBeatsAndOnlyThatTableIsWritten) {
  struct Case {
    std::int32_t score;
    int row;  // -1: does not get in
    const char* scoresAfter;
  };
  const Case cases[] = {
      {4000, -1, "8000\n7000\n6000\n5000\n4000"}, {-5, -1, "8000\n7000\n6000\n5000\n4000"},
      {4001, 4, "8000\n7000\n6000\n5000\n4001"},  {7000, 2, "8000\n7000\n7000\n6000\n5000"},
      {8001, 0, "8001\n8000\n7000\n6000\n5000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    StartedGame t;
    Key(t.host.registry).SetName("HSName1", "Ann");
    Key(t.host.registry).SetName("HSName6", "Ann");
    t.game.SelectVariant(Variant::kVarnak);
    t.engine.state.currentPlayer = 2;
    t.engine.state.playerScore[2] = c.score;
    t.engine.match.cursorVisible = false;
    t.host.dialogs.nameToType = "Zo\xEB";
    bool pausedMeanwhile = false;
    t.host.dialogs.onModal = [&] {
      pausedMeanwhile = t.engine.match.paused && t.game.app.dialogOpen;
    };
    t.game.CheckHighScore(c.score);

    const TableText varnak = LoadHighScoreTable(t.host.registry, Variant::kVarnak);
    EXPECT_EQ(varnak.scores, c.scoresAfter);
    EXPECT_EQ(LoadHighScoreTable(t.host.registry, Variant::kKrelmo).scores, kDefaultScores);
    EXPECT_EQ(LoadHighScoreTable(t.host.registry, Variant::kKrelmo).names.substr(0, 4), "Ann\n");
    if (c.row < 0) {
      EXPECT_TRUE(t.host.dialogs.highScoreDialogs.empty());
      continue;
    }
    ASSERT_EQ(t.host.dialogs.highScoreDialogs.size(), 1u);
    const auto& shown = t.host.dialogs.highScoreDialogs[0];
    EXPECT_EQ(shown.editRow, c.row);
    EXPECT_EQ(shown.editText, "Player 3");
    EXPECT_EQ(shown.scores[c.row], std::to_string(c.score));
    EXPECT_EQ(shown.names[1], c.row == 0 ? "Ann" : "Player 1") << "the old first entry at rank 2";
    const std::string expectedName = c.row == 0 ? "Zo\xEB\nAnn" : "Ann\n";
    EXPECT_EQ(varnak.names.substr(0, expectedName.size()), expectedName);
    EXPECT_TRUE(pausedMeanwhile);
    EXPECT_EQ(
        (std::array{t.engine.match.paused, t.engine.match.cursorVisible, t.game.app.dialogOpen}),
        (std::array{false, false, false}));
    EXPECT_TRUE(t.host.window.cursorClip.has_value()) << "the pointer is back in its strip";
  }
}

TEST(HighScores, NamesAreReadAsTheTableKeepsThem) {
  StartedGame t;
  {
    Key key(t.host.registry);
    key.SetName("HSName2", "Twelve chars");  // neither fits with its terminator
    key.SetName("HSName3", "Eleven char");
    const std::uint8_t twelve[] = "Player 12345";  // no terminator stored
    key.registry.RegSetValueExA(key.key, "HSName4", 0, platform::REG_SZ, twelve, 12);
    key.Set("HSScore4", static_cast<std::uint32_t>(-5));
  }
  t.engine.state.playerScore[0] = 9000;
  t.host.dialogs.nameToType = "";
  t.game.CheckHighScore(9000);
  const TableText table = LoadHighScoreTable(t.host.registry, Variant::kKrelmo);
  EXPECT_EQ(table.names, "\nPlayer 1\n\nEleven char\n");
  EXPECT_EQ(table.scores, "9000\n8000\n7000\n6000\n-5");
}

TEST(HighScores, TheResetAsksAndOnlyYesRestoresBothTables) {
  for (const int answer : {platform::IDNO, platform::IDYES}) {
    StartedGame t;
    {
      Key key(t.host.registry);
      key.Set("HSScore1", 100);
      key.Set("HSScore6", 200);
    }
    t.host.dialogs.answers = {answer};
    t.game.SendMessage(WM_COMMAND, IDM_RESET_HIGH_SCORES, 0);
    ASSERT_EQ(t.host.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.host.dialogs.shown[0].text, "Remove all high scores?");
    const bool yes = answer == platform::IDYES;
    EXPECT_EQ(LoadHighScoreTable(t.host.registry, Variant::kKrelmo).scores.substr(0, 4),
              yes ? "8000" : "100\n");
    EXPECT_EQ(LoadHighScoreTable(t.host.registry, Variant::kVarnak).scores.substr(0, 4),
              yes ? "8000" : "200\n");
  }
}

TEST(Records, WritesThatFailAreToldToThePlayerOrAtShutdownInOneLine) {
  // A folder that cannot be made: a file stands where it should be.
  const std::string blocker =
      ::testing::TempDir() + "krelmo-records-blocker-" + std::to_string(std::random_device{}());
  std::ofstream(blocker) << "x";
  TestGame t;
  t.host.registry = Registry(blocker + "/krelmo.reg");
  ::testing::internal::CaptureStderr();
  t.game.InitApplication();
  t.engine.state.playerScore[0] = 9000;
  t.game.CheckHighScore(9000);
  t.game.ShutdownApplication();
  const std::string said = ::testing::internal::GetCapturedStderr();
  std::filesystem::remove(blocker);
  ASSERT_EQ(t.host.dialogs.shown.size(), 1u);
  const std::string& box = t.host.dialogs.shown[0].text;
  EXPECT_EQ(box.rfind("Your high score could not be saved.", 0), 0u) << box;
  EXPECT_NE(box.find("Not a directory"), std::string::npos) << box;
  EXPECT_FALSE(t.game.app.messageBoxOpen);
  // One line for the first run's defaults, one at shutdown.
  EXPECT_NE(said.find("the settings could not be saved: "), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
}

TEST(TitleScreen, GameOverShowsOnlyWhenPlayerOneScored) {
  struct Case {
    std::int32_t player1, player2;
    bool gameOver;
  };
  for (const Case& c : {Case{0, 0, false}, Case{1, 0, true}, Case{0, 500, false}}) {
    StartedGame t;
    t.dc.SetBkColor(engine::kBlack);
    t.engine.state.playerScore = {c.player1, c.player2, 0, 0};
    t.game.RedrawGameWindow();
    // "Game Over" in white at (280, 190); the title in yellow at (279, 165).
    EXPECT_EQ(t.dc.GetPixel(282, 195) == engine::kWhite, c.gameOver);
    EXPECT_EQ(t.dc.GetPixel(281, 170) == engine::kYellow, !c.gameOver);
    EXPECT_EQ(t.dc.GetPixel(82, 245), engine::kYellow) << "the Krelmo heading";
    EXPECT_EQ(t.dc.GetPixel(422, 245), engine::kYellow) << "the Varnak heading";
  }
}

}  // namespace
}  // namespace krelmo::records
