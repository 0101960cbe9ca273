// The menu's selection groups: the settings each choice sets, and the check marks and grey
// states it leaves.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using namespace resources;
using States3 = std::array<std::uint32_t, 3>;
using States4 = std::array<std::uint32_t, 4>;

struct MenuGroups : testing::StartedGame {
  std::uint32_t State(int id) const { return host.menu.GetState(id); }
  States3 Sound() const {
    return {State(IDM_NO_SOUND), State(IDM_DIGITAL_AUDIO), State(IDM_PC_SPEAKER)};
  }
  States4 Players() const {
    return {State(IDM_PLAYERS_1), State(IDM_PLAYERS_2), State(IDM_PLAYERS_3), State(IDM_PLAYERS_4)};
  }
};

TEST(SoundGroup, EachChoiceSetsTheSoundAndChecksOnlyItsItem) {
  struct Row {
    int id;
    std::uint32_t wave;
    std::uint32_t soundOn, digitalSound;
    States3 states;  // No Sound, Digital Audio, PC Speaker
  };
  // Every row starts from digital audio on, so "No Sound" is seen to leave digitalSound be.
  const Row rows[] = {
      {IDM_NO_SOUND, 1, 0, 1, {8, 0, 0}},   {IDM_DIGITAL_AUDIO, 1, 1, 1, {0, 8, 0}},
      {IDM_PC_SPEAKER, 1, 1, 0, {0, 0, 8}}, {IDM_NO_SOUND, 0, 0, 1, {8, 3, 0}},
      {IDM_PC_SPEAKER, 0, 1, 0, {0, 3, 8}}, {IDM_DIGITAL_AUDIO, 0, 1, 1, {0, 8, 0}},
      {IDM_ABOUT, 1, 1, 0, {0, 0, 8}},  // any other id is the speaker
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "id " << row.id << ", wave " << row.wave);
    MenuGroups t;
    t.game.app.waveAvailable = row.wave;
    t.engine.settings.soundOn = 1;
    t.engine.settings.digitalSound = 1;
    t.host.menu.SetState(IDM_DIGITAL_AUDIO, 8);
    t.game.SelectSound(row.id);
    EXPECT_EQ(t.engine.settings.soundOn, row.soundOn);
    EXPECT_EQ(t.engine.settings.digitalSound, row.digitalSound);
    EXPECT_EQ(t.Sound(), row.states);
  }
}

TEST(PlayersGroup, EachChoiceSetsTheCountAndEnablesTheWholeGroupAndAMatchGreysIt) {
  const std::pair<int, std::uint32_t> choices[] = {
      {IDM_PLAYERS_1, 0}, {IDM_PLAYERS_2, 1}, {IDM_PLAYERS_3, 2},
      {IDM_PLAYERS_4, 3}, {IDM_KRELMO, 3},  // any other non-zero id is four players
  };
  for (const auto& [id, count] : choices) {
    SCOPED_TRACE(id);
    MenuGroups t;
    // From the states the menu resource gives before the settings are loaded.
    t.host.menu.SetState(IDM_PLAYERS_1, 8);
    for (const int greyed : {IDM_PLAYERS_2, IDM_PLAYERS_3, IDM_PLAYERS_4}) {
      t.host.menu.SetState(greyed, 3);
    }
    t.game.SelectPlayers(id);
    EXPECT_EQ(t.engine.settings.numPlayers, count);
    States4 expected{};
    expected[count] = 8;
    EXPECT_EQ(t.Players(), expected);
  }
  // Greyed for a match, the group keeps its check and comes back with the same choice.
  MenuGroups t;
  t.game.SelectPlayers(IDM_PLAYERS_3);
  t.game.SelectPlayers(0);
  t.game.SelectPlayers(0);
  EXPECT_EQ(t.Players(), (States4{3, 3, 11, 3})) << "greying twice adds nothing";
  EXPECT_EQ(t.engine.settings.numPlayers, 2u);
  t.game.SelectPlayers(IDM_PLAYERS_1 + 2);
  EXPECT_EQ(t.Players(), (States4{0, 0, 8, 0}));
}

}  // namespace
}  // namespace krelmo::app
