// The game's application layer on the headless front end: the main window procedure (what each
// message does in each state of the match, the abort questions, activation, re-placing the
// window, the menu commands); start-up, the idle loop and shutdown; the menu's selection groups;
// and whole matches: turns for one to four players, each with an own wall, pausing, game over.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>

#include "engine/frame.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "engine/sound_cues.h"
#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "tests/support/speaker_ports.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using namespace resources;
using engine::CellLeft;
using engine::CellTop;
using platform::IDYES;
using platform::MFS_CHECKED;
using platform::MFS_GRAYED;
using testing::BrickStands;
using testing::Choose;
using testing::Frames;
using testing::kFirstPress;
using testing::Press;
using testing::RemoveBrick;

enum class Play { kNoMatch, kWaiting, kInPlay, kPaused };

const char* Name(Play s) {
  static const char* const kNames[] = {"no match", "waiting for a serve", "ball in play", "paused"};
  return kNames[static_cast<int>(s)];
}

struct Window : testing::StartedGame {
  LRESULT Send(MessageId message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return game.MainWindowProc(message, wParam, lParam);
  }
  LRESULT Key(WPARAM key) { return Send(WM_KEYDOWN, key, kFirstPress); }
  LRESULT Command(int id) { return Send(WM_COMMAND, static_cast<WPARAM>(id)); }

  // Puts the match into a state of the match flow, as the flow leaves its flags.
  void Enter(Play s) {
    auto& m = engine.match;
    auto& st = engine.state;
    m.gameActive = s != Play::kNoMatch;
    m.paused = s == Play::kPaused;
    m.cursorVisible = s == Play::kNoMatch || s == Play::kPaused;
    st.ballX = 300;
    st.ballY = s == Play::kInPlay ? 300 : engine::kBallParked;
    m.savedBallY = 300;  // a pause taken with the ball in flight
  }
  Play Now() const {
    const auto& m = engine.match;
    if (!m.gameActive) return Play::kNoMatch;
    if (m.paused) return Play::kPaused;
    return engine.state.ballY >= engine::kBallOutOfPlay ? Play::kWaiting : Play::kInPlay;
  }

  // Spoils a brick and a wall on screen; a full redraw puts both back.
  void Scribble() {
    dc.SelectObject(Brush{0x123456});
    dc.SelectObject(Pen{0x123456});
    dc.Rectangle(CellLeft(3), CellTop(2), CellLeft(4), CellTop(3));
    dc.Rectangle(2, 300, 10, 310);
  }
  bool Redrawn() const {
    return dc.GetPixel(engine::SavePointX(3), engine::SamplePointY(2)) == engine::kGreen &&
           dc.GetPixel(5, 305) == engine::kSilver;
  }
  std::string LastQuestion() const {
    return host.dialogs.shown.empty() ? "" : host.dialogs.shown.back().text;
  }
  bool QuitPosted() {
    Message m;
    return host.queue.PeekMessage(m, WM_QUIT, WM_QUIT, true);
  }
};

// The inputs of the match, each as the window system sends it.
struct Input {
  const char* name;
  MessageId message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Input&) const = default;
};
constexpr Input kLeft{"left button", WM_LBUTTONDOWN, 0, 0},
    kRight{"right button", WM_RBUTTONDOWN, 0, 0}, kF3{"F3", WM_KEYDOWN, VK_F3, kFirstPress},
    kPauseResume{"Pause/Resume", WM_COMMAND, IDM_PAUSE_RESUME, 0},
    kF2{"F2", WM_KEYDOWN, VK_F2, kFirstPress}, kNewAbort{"New/Abort", WM_COMMAND, IDM_NEW_ABORT, 0},
    kEsc{"Esc", WM_KEYDOWN, VK_ESCAPE, kFirstPress}, kTimer{"timer", WM_TIMER, kPlayTimerId, 0},
    kMouse{"mouse move", WM_MOUSEMOVE, 0, MakePointLParam(150, 410)};

// What each input does in each state of the match, the application active or not. Every
// question is answered No. Only a serve moves the ball at once, only the timer plays it on,
// and only a mouse move in a match of the active application moves the paddle.
TEST(WindowProc, EachInputActsOnlyInTheStatesOfTheMatchWhereItMeansSomething) {
  using enum Play;
  constexpr LRESULT D = kDefaultResult;
  struct Row {
    Input input;
    Play after[4];  // from no match, waiting for a serve, ball in play, paused
    LRESULT result;
  };
  const Row active[] = {
      {kLeft, {kNoMatch, kInPlay, kInPlay, kPaused}, 0},
      {kRight, {kNoMatch, kPaused, kPaused, kInPlay}, 0},
      {kF3, {kNoMatch, kPaused, kPaused, kInPlay}, 0},
      {kPauseResume, {kNoMatch, kPaused, kPaused, kInPlay}, D},
      {kF2, {kWaiting, kPaused, kPaused, kPaused}, 0},  // in a match: "Abort Game?"
      {kNewAbort, {kWaiting, kPaused, kPaused, kPaused}, D},
      {kEsc, {kNoMatch, kPaused, kPaused, kPaused}, 0},  // in a match: "Abort game?"
      {kTimer, {kNoMatch, kWaiting, kInPlay, kPaused}, 0},
      {kMouse, {kNoMatch, kWaiting, kInPlay, kPaused}, D},
  };
  // Another application is active: the right button, F3 and "Pause/Resume" do nothing, nor
  // does Esc outside a pause; F2 and the serve still act, play stops.
  const std::tuple<Play, Input, Play, const char*> inactive[] = {
      {kInPlay, kRight, kInPlay, ""},         {kInPlay, kEsc, kInPlay, ""},
      {kInPlay, kF2, kPaused, "Abort Game?"}, {kInPlay, kTimer, kInPlay, ""},
      {kInPlay, kMouse, kInPlay, ""},         {kPaused, kEsc, kPaused, "Abort game?"},
  };
  auto check = [&](Play state, bool isActive, Input input, Play after, const char* question) {
    SCOPED_TRACE(::testing::Message()
                 << Name(state) << (isActive ? "" : ", inactive") << ", " << input.name);
    Window t;
    t.Enter(state);
    t.game.app.appActive = isActive;
    const auto ballY = t.engine.state.ballY;
    const LRESULT result = t.Send(input.message, input.wParam, input.lParam);
    EXPECT_EQ(Name(t.Now()), Name(after));
    EXPECT_EQ(t.LastQuestion(), question);
    EXPECT_LE(t.host.dialogs.shown.size(), 1u);
    if (state == kPaused) {
      EXPECT_EQ(t.engine.match.savedBallY, 300) << "paused only once";
    }
    if (input == kLeft || input == kTimer) {
      EXPECT_EQ(t.engine.state.ballX != 300 || t.engine.state.ballY != ballY,
                (input == kLeft && state == kWaiting) ||
                    (input == kTimer && state == kInPlay && isActive));
    }
    EXPECT_EQ(t.engine.state.paddleX == 150,
              input == kMouse && isActive && (state == kWaiting || state == kInPlay));
    return result;
  };
  for (const Row& row : active) {
    for (const Play state : {kNoMatch, kWaiting, kInPlay, kPaused}) {
      const bool asks =
          state != kNoMatch && (row.input == kF2 || row.input == kNewAbort || row.input == kEsc);
      const char* question = !asks ? "" : row.input == kEsc ? "Abort game?" : "Abort Game?";
      const LRESULT result =
          check(state, true, row.input, row.after[static_cast<int>(state)], question);
      const bool startsAMatch = row.input == kF2 && state == kNoMatch;
      EXPECT_EQ(result, startsAMatch ? D : row.result) << Name(state) << ", " << row.input.name;
    }
  }
  for (const auto& [state, input, after, question] : inactive) {
    check(state, false, input, after, question);
  }
}

TEST(WindowProc, KeysActOnlyOnAFirstPressWithoutAlt) {
  // A first press acts, extended or from the menu, whatever the repeat count in the low bits,
  // with bits 16 to 31 up to 0x300; not with 0x301 there, nor on auto-repeat, Alt or key-up.
  const std::pair<LPARAM, bool> rows[] = {
      {MakeKeyLParam(0x3D, true, false, false), true},
      {LPARAM{0x300} << 16, true},
      {LPARAM{0x301} << 16, false},
      {MakeKeyLParam(0x3D, false, false, true), false},
      {MakeKeyLParam(0x3D, false, true, false), false},
      {kFirstPress | (LPARAM{1} << 31), false},
  };
  for (const auto& [lParam, acts] : rows) {
    Window t;
    t.Enter(Play::kInPlay);
    EXPECT_EQ(t.Send(WM_KEYDOWN, VK_F3, lParam), 0) << std::hex << lParam;
    EXPECT_EQ(t.Now() == Play::kPaused, acts) << std::hex << lParam;
  }
}

// The joystick's buttons are posted even while a dialog or a question is open: neither may
// serve or resume a match behind it.
TEST(WindowProc, NeitherButtonServesOrResumesBehindADialogOrAQuestion) {
  for (const Play state : {Play::kWaiting, Play::kPaused}) {
    for (const bool dialog : {true, false}) {
      SCOPED_TRACE(::testing::Message() << Name(state) << (dialog ? ", dialog" : ", question"));
      Window t;
      t.Enter(state);
      (dialog ? t.game.app.dialogOpen : t.game.app.messageBoxOpen) = true;
      EXPECT_EQ(t.Send(WM_LBUTTONDOWN), 0);
      EXPECT_EQ(t.Send(WM_RBUTTONDOWN), 0);
      EXPECT_EQ(Name(t.Now()), Name(state));
    }
  }
}

// The game is paused while the question is up; when it closes the window is placed back on
// screen before a Yes ends the match.
TEST(AbortQuestion, AsksWithTheGamePausedAndAYesEndsTheMatchAfterThePlacement) {
  for (const WPARAM key : {VK_F2, VK_ESCAPE}) {
    Window t;
    t.Enter(Play::kInPlay);
    t.host.dialogs.answers.push_back(IDYES);
    bool pausedDuring = false, gameActiveAtPlacement = false;
    t.host.dialogs.onModal = [&] {
      pausedDuring = t.engine.match.paused;
      t.host.window.rect = {-50, -50, 590, 430};
    };
    t.host.window.onPlace = [&] { gameActiveAtPlacement = t.engine.match.gameActive; };
    EXPECT_EQ(t.Key(key), 0);
    ASSERT_EQ(t.host.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.host.dialogs.shown[0].caption, "Warning");
    EXPECT_EQ(t.host.dialogs.shown[0].style, platform::MB_YESNO | platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(pausedDuring) << "the timer does nothing while the box is up";
    EXPECT_EQ(t.host.window.rect.left, 1);
    EXPECT_TRUE(gameActiveAtPlacement) << "the match had not ended yet";
    EXPECT_FALSE(t.game.app.messageBoxOpen);
    EXPECT_EQ(Name(t.Now()), Name(Play::kNoMatch));
  }
}

TEST(Activation, SwitchingAwayMinimisesAndPausesPlayAndComingBackDoesNotResume) {
  using enum Play;
  for (const auto& [state, after] : {std::pair{kWaiting, kPaused},
                                     {kInPlay, kPaused},
                                     {kNoMatch, kNoMatch},
                                     {kPaused, kPaused}}) {
    SCOPED_TRACE(Name(state));
    Window t;
    t.Enter(state);
    EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 0), 0);
    EXPECT_FALSE(t.game.app.appActive);
    if (state == kNoMatch || state == kPaused) {
      EXPECT_EQ(t.engine.match.savedBallY, 300) << "a second pause would lose the ball";
    }
    EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 1), 0);
    EXPECT_TRUE(t.game.app.appActive);
    EXPECT_EQ(Name(t.Now()), Name(after));
    EXPECT_EQ(t.host.window.minimizeCount, 1);
    EXPECT_EQ(t.host.window.restoreCount, 0);
  }
  // Ignored while the About dialog is open.
  Window about;
  about.Enter(kInPlay);
  about.host.dialogs.onModal = [&] {
    about.host.queue.PostMessage(WM_ACTIVATEAPP, 0);
    about.game.DispatchPending();
  };
  EXPECT_EQ(about.Command(IDM_ABOUT), 0);
  EXPECT_EQ(about.host.dialogs.aboutShown, 1);
  EXPECT_TRUE(about.game.app.appActive);
  EXPECT_EQ(about.host.window.minimizeCount, 0);
  EXPECT_EQ(Name(about.Now()), Name(kInPlay));
}

// The window is as large as the window system made it: here 646 x 503, where the menu bar and
// the frame take more room than the 640 x 480 the game asks for.
TEST(Placement, FocusAndEndOfMoveKeepTheWholeWindowOnScreenFromPointOneOne) {
  constexpr int kWidth = 646, kHeight = 503;
  struct Row {
    int screenWidth, screenHeight, left, top, x, y;
  };
  const Row rows[] = {
      {1024, 768, -50, -50, 1, 1},
      {1024, 768, 600, 700, 1024 - kWidth, 768 - kHeight},  // to the bottom right corner
      {1024, 768, 200, 100, 200, 100},
      {kWidth, kHeight, 10, 10, 0, 0},  // fully on screen wins
  };
  for (const MessageId message : {WM_SETFOCUS, WM_EXITSIZEMOVE}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(::testing::Message()
                   << message << ": on " << r.screenWidth << " at " << r.left << "," << r.top);
      Window t;
      auto& w = t.host.window;
      w.screenWidth = r.screenWidth;
      w.screenHeight = r.screenHeight;
      w.rect = {r.left, r.top, r.left + kWidth, r.top + kHeight};
      w.topmost = false;
      t.Scribble();
      EXPECT_EQ(t.Send(message), 0);
      EXPECT_EQ((std::array{w.rect.left, w.rect.top, w.rect.right, w.rect.bottom}),
                (std::array{r.x, r.y, r.x + kWidth, r.y + kHeight}));
      EXPECT_TRUE(w.topmost);
      EXPECT_TRUE(t.Redrawn());
    }
  }
  // A second start brings the minimised window back on screen, redrawn.
  Window t;
  t.host.window.minimized = true;
  t.host.window.rect = {-700, 2000, -60, 2480};
  t.Scribble();
  EXPECT_EQ(t.Send(t.game.app.activateMessage), 0);
  EXPECT_EQ(t.host.window.restoreCount, 1);
  EXPECT_FALSE(t.host.window.minimized);
  EXPECT_EQ(t.host.window.rect.left, 1);
  EXPECT_EQ(t.host.window.rect.top, 768 - kWindowHeight);
  EXPECT_TRUE(t.Redrawn());
}

TEST(Redraw, EveryEleventhMoveAndAPaintUnderABoxOrADialogRedrawTheWindow) {
  Window t;
  for (int round = 0; round < 2; ++round) {
    t.Scribble();
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(t.Send(WM_MOVE), kDefaultResult);
    EXPECT_FALSE(t.Redrawn()) << "round " << round;
    t.Send(WM_MOVE);
    EXPECT_TRUE(t.Redrawn()) << "round " << round;
  }
  for (const std::uint32_t boxOpen : {0u, 1u}) {
    t.Scribble();
    t.game.app.messageBoxOpen = boxOpen;
    t.Send(WM_PAINT);
    EXPECT_EQ(t.Redrawn(), boxOpen == 1);
  }
  Window about;
  about.host.dialogs.onModal = [&] {
    about.Scribble();
    about.Send(WM_PAINT);
    EXPECT_TRUE(about.Redrawn());
  };
  about.Command(IDM_ABOUT);
}

TEST(Commands, ExitQuitsAndHelpThatCannotBeShownIsToldInABox) {
  Window shown, missing;
  shown.Command(IDM_CONTENTS);
  EXPECT_EQ(shown.host.dialogs.helpShown, 1);
  EXPECT_TRUE(shown.host.dialogs.shown.empty());
  shown.Send(WM_COMMAND, (WPARAM{1} << 16) | IDM_EXIT);  // as an accelerator sends it
  EXPECT_TRUE(shown.QuitPosted());
  missing.host.dialogs.helpAvailable = false;
  missing.host.window.rect = {-50, -50, 590, 430};
  EXPECT_EQ(missing.Command(IDM_CONTENTS), kDefaultResult);
  ASSERT_EQ(missing.host.dialogs.shown.size(), 1u);
  EXPECT_EQ(missing.host.dialogs.shown[0].text, "The help could not be shown.");
  EXPECT_EQ(missing.host.dialogs.shown[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
  EXPECT_EQ(missing.host.window.rect.left, 1) << "the focus came back when the box closed";
}

// Ink of the block font at the start of a text drawn at (x, y).
Colour TextInk(const platform::Surface& dc, int x, int y) {
  return dc.GetPixel(x + 1, y + 5);
}

// Whether "Player n Up" stands in white on black: drawing it again changes no pixel. The game's
// font tells the numbers apart, where the block font shows only the length.
bool ShowsUp(const platform::Surface& dc, const char* text) {
  platform::Surface again = dc;
  again.SetTextColor(engine::kWhite);
  again.SetBkColor(engine::kBlack);
  again.TextOutA(260, 220, text);
  return std::equal(dc.Pixels(),
                    dc.Pixels() + platform::Surface::kWidth * platform::Surface::kHeight,
                    again.Pixels());
}

class MatchTest : public ::testing::Test {
 protected:
  // Serves, then sends the ball down past the paddle, which stands far away from it.
  void LoseBall() {
    game.ServeBall();
    auto& s = engine.state;
    engine::MovePaddle(engine, 500);
    s.ballX = 100;
    s.ballY = 460;
    s.ballDX = 1;
    s.ballDY = 1;
    Frames(game, 1);
  }

  testing::StartedGame t;
  Game& game = t.game;
  engine::Engine& engine = t.engine;
  platform::Surface& dc = t.dc;
};

TEST_F(MatchTest, NewKrelmoMatchGivesFourBallsTheSlowPaceAndHoldsThePointer) {
  Press(game, VK_F2);
  const auto& s = engine.state;
  const auto& window = t.host.window;
  EXPECT_EQ(s.ballsLeft, (std::array<std::int32_t, 4>{4, 4, 4, 4}));
  EXPECT_EQ(s.stepDelay, 4500);
  EXPECT_FALSE(window.cursorShown);
  ASSERT_TRUE(window.cursorClip.has_value());
  const auto clip = *window.cursorClip;
  EXPECT_EQ((std::array{clip.left, clip.top, clip.right, clip.bottom}),
            (std::array{window.rect.left + 21, window.rect.bottom - 41, window.rect.right - 75,
                        window.rect.bottom - 40}));
  EXPECT_EQ(window.cursorPos.x, window.rect.left + 3 + s.paddleX) << "the pointer on the paddle";
  EXPECT_EQ(t.host.menu.GetState(IDM_KRELMO), MFS_CHECKED | MFS_GRAYED) << "keeping its check";
  EXPECT_EQ(t.host.menu.GetState(IDM_PLAYERS_2), MFS_GRAYED);
  EXPECT_EQ(TextInk(dc, 10, 0), engine::kRed) << "the scoreboard shows during a match";
}

TEST_F(MatchTest, TwoVarnakPlayersAlternateEachWithTheirOwnWall) {
  dc.SetFont(&resources::kGameFont);
  Choose(game, IDM_VARNAK);
  Choose(game, IDM_PLAYERS_2);
  Press(game, VK_F2);
  EXPECT_EQ(engine.state.ballsLeft[0], 3);
  EXPECT_EQ(engine.state.stepDelay, 3850);
  EXPECT_TRUE(ShowsUp(dc, "Player 1 Up"));

  RemoveBrick(dc, 5, 3);  // player 1 hits a brick
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 1u);
  EXPECT_TRUE(BrickStands(dc, 5, 3)) << "player 2's own wall is full";
  EXPECT_TRUE(ShowsUp(dc, "Player 2 Up"));
  RemoveBrick(dc, 0, 0);

  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 0u);
  EXPECT_FALSE(BrickStands(dc, 5, 3)) << "player 1's wall comes back as it was left";
  EXPECT_TRUE(BrickStands(dc, 0, 0));

  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 1u);
  EXPECT_FALSE(BrickStands(dc, 0, 0));
  EXPECT_TRUE(BrickStands(dc, 5, 3));
  EXPECT_EQ(engine.state.ballsLeft[0], 1);
  EXPECT_EQ(engine.state.ballsLeft[1], 2);
}

// The entry dialog gives the window the keyboard back as it closes, as the Qt window does
// (tests/gui): once the turn has passed, the game takes the focus, puts the window back on
// top and redraws it, which clears "Player 2 Up" from the play area.
TEST_F(MatchTest, AHighScoreGivesTheWindowTheFocusBackAndTheRedrawAfterTheTurnClearsPlayerUp) {
  Choose(game, IDM_PLAYERS_2);
  Press(game, VK_F2);
  RemoveBrick(dc, 5, 3);
  engine.state.ballsLeft[0] = 1;
  engine.state.playerScore[0] = 9000;
  t.host.window.rect = {200, 700, 840, 1180};  // dragged to the bottom of the screen
  std::uint32_t playerAtFocus = 9;
  t.host.window.onPlace = [&] { playerAtFocus = engine.state.currentPlayer; };
  LoseBall();
  ASSERT_EQ(t.host.dialogs.highScoreDialogs.size(), 1u);
  EXPECT_EQ(playerAtFocus, 1u) << "the focus is taken after the turn passed";
  EXPECT_TRUE(t.host.window.topmost);
  EXPECT_EQ(t.host.window.rect.top, 768 - kWindowHeight);
  EXPECT_EQ(TextInk(dc, 260, 220), 0u) << "\"Player 2 Up\" is cleared by the redraw";
  EXPECT_TRUE(BrickStands(dc, 5, 3)) << "player 2's own wall";
  EXPECT_TRUE(t.host.queue.Empty());
}

TEST_F(MatchTest, TurnsSkipPlayersWhoAreOutAndTheLastOneServesUntilTheEnd) {
  dc.SetFont(&resources::kGameFont);
  Choose(game, IDM_PLAYERS_4);
  Press(game, VK_F2);
  engine.state.ballsLeft[1] = 0;
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 2u) << "player 1 hands over to player 3";
  EXPECT_TRUE(ShowsUp(dc, "Player 3 Up"));
  engine.state.ballsLeft[3] = 0;
  LoseBall();
  EXPECT_EQ(engine.state.currentPlayer, 0u) << "player 3 hands back to player 1";
  engine.state.ballsLeft = {0, 0, 0, 2};
  engine.state.currentPlayer = 3;
  LoseBall();
  EXPECT_TRUE(engine.match.gameActive);
  EXPECT_EQ(engine.state.currentPlayer, 3u);
  EXPECT_TRUE(ShowsUp(dc, "Player 4 Up")) << "again";
  LoseBall();
  EXPECT_FALSE(engine.match.gameActive);
}

TEST_F(MatchTest, AServeStartsTheBallOnThePaddleGoingUpSidewaysByTheRandomDraw) {
  Press(game, VK_F2);
  game.app.randomSeed = 1;  // the generator's first draw from seed 1 is 41
  game.ServeBall();
  const auto& s = engine.state;
  EXPECT_EQ(s.ballY, engine::kBallOnPaddle);
  EXPECT_EQ(s.ballDY, -1);
  EXPECT_EQ(s.ballX, s.paddleX + engine::kBallOverPaddleMiddle);
  EXPECT_EQ(s.ballDX, -1) << "sideways by the random draw: 41 is odd";
  engine.state.ballX = 200;
  game.ServeBall();
  EXPECT_EQ(s.ballX, 200) << "a second serve with the ball in play is ignored";
}

// A pause while waiting for a serve resumes waiting; a pause in play parks the ball, the timer
// does nothing meanwhile, and the resume continues it from where it was.
TEST_F(MatchTest, PauseFreesThePointerParksTheBallAndResumeContinuesFromWhereItWas) {
  Press(game, VK_F2);
  Press(game, VK_F3);
  EXPECT_TRUE(t.host.window.cursorShown);
  EXPECT_FALSE(t.host.window.cursorClip.has_value());
  EXPECT_EQ(TextInk(dc, 220, 220), engine::kWhite) << "\"Paused - <F3> to resume\"";
  Press(game, VK_F3);
  EXPECT_EQ(engine.state.ballY, engine::kBallParked);
  EXPECT_EQ(TextInk(dc, 220, 220), 0u) << "the pause text is cleared";
  EXPECT_FALSE(t.host.window.cursorShown);
  game.ServeBall();
  Frames(game, 1);
  const auto before = engine.state;
  ASSERT_LT(before.ballY, engine::kBallOnPaddle);
  Press(game, VK_F3);
  EXPECT_EQ(engine.state.ballY, engine::kBallParked);
  EXPECT_EQ(dc.GetPixel(before.ballX + 3, before.ballY + 3), 0u) << "the ball is erased";
  Frames(game, 3);
  EXPECT_EQ(engine.state.ballY, engine::kBallParked);
  Press(game, VK_F3);
  EXPECT_EQ(engine.state.ballY, before.ballY);
  EXPECT_EQ(engine.state.ballX, before.ballX);
  Frames(game, 1);
  EXPECT_NE(engine.state.ballY, before.ballY) << "the ball moves on";
}

// One player plays four balls to game over: the last wall stays on screen with "Game Over",
// and the pointer and the menu come back.
TEST_F(MatchTest, OnePlayerPlaysFourBallsToGameOverWhichStaysDrawnByTheRedraw) {
  Press(game, VK_F2);
  RemoveBrick(dc, 5, 10);
  engine.state.playerScore[0] = 150;
  for (int ball = 1; ball <= 4; ++ball) {
    ASSERT_TRUE(engine.match.gameActive) << "ball " << ball;
    EXPECT_EQ(TextInk(dc, 260, 220), 0u) << "no \"Player 1 Up\" for one player";
    LoseBall();
    EXPECT_EQ(engine.state.ballsLeft[0], 4 - ball);
  }
  EXPECT_FALSE(engine.match.gameActive);
  EXPECT_TRUE(t.host.window.cursorShown);
  EXPECT_FALSE(t.host.window.cursorClip.has_value());
  EXPECT_EQ(t.host.menu.GetState(IDM_KRELMO), MFS_CHECKED) << "the menu comes back";
  EXPECT_EQ(t.host.menu.GetState(IDM_PLAYERS_4), platform::MFS_ENABLED);
  EXPECT_GE(engine.state.ballY, engine::kBallOutOfPlay) << "the ball stays out of play";
  EXPECT_FALSE(BrickStands(dc, 5, 10)) << "the last wall stays on screen";
  EXPECT_EQ(TextInk(dc, 280, 190), engine::kWhite) << "\"Game Over\"";
  game.RedrawGameWindow();
  EXPECT_FALSE(BrickStands(dc, 5, 10));
  EXPECT_EQ(TextInk(dc, 10, 0), engine::kRed) << "player 1 scored: the scoreboard stays";
}

// A brick struck in this turn stays struck through a redraw in play (a menu choice), and
// through a pause taken with the ball over the save point of a struck cell.
TEST_F(MatchTest, BricksStruckInPlayStayGoneThroughARedrawAndAPause) {
  Press(game, VK_F2);
  game.ServeBall();
  auto& s = engine.state;
  const int column = 5;
  auto shootUp = [&] {
    s.ballX = static_cast<std::int16_t>(CellLeft(column) + 2);  // to stay within the column
    s.ballY = CellTop(5) + 14;
    s.ballDX = 1;
    s.ballDY = -1;
    Frames(game, 1);
  };
  shootUp();
  ASSERT_EQ(engine.state.playerScore[0], 5) << "the red brick above is struck";
  ASSERT_FALSE(BrickStands(dc, 5, column));
  Choose(game, IDM_PC_SPEAKER);
  EXPECT_FALSE(BrickStands(dc, 5, column)) << "the menu's redraw brought the brick back";
  RemoveBrick(dc, 5, column + 1);  // room for the ball's way back down to the right
  shootUp();
  EXPECT_EQ(engine.state.playerScore[0], 5 + 10) << "through the gap to the orange row";

  // The ball, drawn over the struck red cell's save point, is not saved as a brick.
  s.ballX = static_cast<std::int16_t>(engine::SavePointX(column) - 3);
  s.ballY = static_cast<std::int16_t>(engine::SamplePointY(5) - 3);
  dc.SelectObject(engine::whiteBrush);
  dc.Rectangle(s.ballX, s.ballY, s.ballX + 8, s.ballY + 8);
  Press(game, VK_F3);
  Press(game, VK_F3);
  EXPECT_FALSE(BrickStands(dc, 5, column));
}

// A speaker tone still sounding when "No Sound" is chosen stops at the next step, and at a
// pause.
TEST_F(MatchTest, ASpeakerToneStopsWhateverTheSoundModeBecame) {
  Choose(game, IDM_PC_SPEAKER);
  Press(game, VK_F2);
  const auto gateOpen = [&] { return testing::GateOpen(t.host.pc); };
  for (const bool pause : {false, true}) {
    SCOPED_TRACE(pause ? "pause" : "step");
    Choose(game, IDM_PC_SPEAKER);
    engine::SpeakerTone(engine, 700);
    engine::SpeakerEnable(engine, 1);
    ASSERT_TRUE(gateOpen());
    Choose(game, IDM_NO_SOUND);
    if (pause) {
      Press(game, VK_F3);
      EXPECT_FALSE(gateOpen());
      Press(game, VK_F3);
    } else {
      game.ServeBall();
      Frames(game, 1);
      EXPECT_FALSE(gateOpen());
    }
  }
  engine::SpeakerEnable(engine, 1);
  EXPECT_FALSE(gateOpen()) << "no sound switches nothing on";
}

using testing::StartedGame;
using testing::TestGame;

// The window is centred, the play timer, the timing module and the chime start whatever is
// found; a joystick that answers gets its poll, stopped at shutdown; the mouse stays the
// controller on a first run.
TEST(StartUp, CentresTheWindowStartsTheServicesFoundAndShutdownStopsThem) {
  struct Case {
    bool wave, joystick, readable;
  };
  for (const Case c : {Case{true, false, true}, Case{false, true, false}, Case{true, true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.wave << c.joystick << c.readable);
    TestGame t;
    t.host.sound.available = c.wave;
    t.host.joystick.present = c.joystick;
    t.host.joystick.readable = c.readable;
    t.host.window.screenWidth = 1280;
    t.host.window.screenHeight = 1025;
    t.game.InitApplication();
    EXPECT_EQ(t.game.app.windowX, (1280 - kWindowWidth) / 2);
    EXPECT_EQ(t.game.app.windowY, 272) << "the division truncates";
    const bool polled = c.joystick && c.readable;
    EXPECT_EQ(t.host.window.timers.at(kPlayTimerId), 100u);
    EXPECT_TRUE(t.game.timer.Initialized());
    ASSERT_FALSE(t.host.sound.plays.empty());
    EXPECT_EQ(t.host.sound.plays[0].waveId, 123) << "the start-up chime";
    EXPECT_EQ(t.host.sound.plays[0].flags, engine::kCutOffFlags);
    EXPECT_EQ(t.game.app.waveAvailable, c.wave);
    EXPECT_EQ(t.game.app.joystickPresent, polled);
    EXPECT_EQ(t.game.app.joystickTimerId != 0, polled);
    EXPECT_TRUE(t.engine.settings.useMouse);
    EXPECT_EQ(t.host.menu.GetState(IDM_MOUSE), MFS_CHECKED) << "\"Joystick\" greyed: tests/status";
    t.game.ShutdownApplication();
    EXPECT_EQ(t.host.joystick.stopCount, polled ? 1 : 0);
    EXPECT_TRUE(t.host.window.timers.empty());
    EXPECT_FALSE(t.game.timer.Initialized());
    EXPECT_TRUE(t.game.app.quitting);
  }
}

TEST(MessageLoop, WaitsForEventsWhileIdleInsteadOfSpinning) {
  StartedGame t;
  auto& frames = t.host.frameHost;
  frames.idleWaits = 0;
  // The third idle wait posts the close request; the loop must wait, then end.
  frames.onIdle = [&] {
    if (frames.idleWaits == 3) t.host.queue.PostMessage(WM_CLOSE);
  };
  t.game.RunMessageLoop();
  EXPECT_EQ(frames.idleWaits, 3u);
}

using States3 = std::array<std::uint32_t, 3>;
using States4 = std::array<std::uint32_t, 4>;
constexpr std::uint32_t kC = MFS_CHECKED, kG = MFS_GRAYED;

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
    bool wave;
    bool soundOn, digitalSound;
    States3 states;  // No Sound, Digital Audio, PC Speaker
  };
  // Every row starts from digital audio on, so "No Sound" is seen to leave digitalSound be.
  const Row rows[] = {
      {IDM_NO_SOUND, true, false, true, {kC, 0, 0}},
      {IDM_DIGITAL_AUDIO, true, true, true, {0, kC, 0}},
      {IDM_PC_SPEAKER, true, true, false, {0, 0, kC}},
      {IDM_NO_SOUND, false, false, true, {kC, kG, 0}},
      {IDM_PC_SPEAKER, false, true, false, {0, kG, kC}},
      {IDM_DIGITAL_AUDIO, false, true, true, {0, kC, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "id " << row.id << ", wave " << row.wave);
    MenuGroups t;
    t.game.app.waveAvailable = row.wave;
    t.engine.settings.soundOn = true;
    t.engine.settings.digitalSound = true;
    t.host.menu.SetState(IDM_DIGITAL_AUDIO, kC);
    EXPECT_TRUE(t.game.SelectFromMenu(row.id));
    EXPECT_EQ(t.engine.settings.soundOn, row.soundOn);
    EXPECT_EQ(t.engine.settings.digitalSound, row.digitalSound);
    EXPECT_EQ(t.Sound(), row.states);
  }
}

TEST(PlayersGroup, EachChoiceSetsTheCountAndEnablesTheWholeGroupAndAMatchGreysIt) {
  const std::pair<int, std::uint32_t> choices[] = {
      {IDM_PLAYERS_1, 0}, {IDM_PLAYERS_2, 1}, {IDM_PLAYERS_3, 2}, {IDM_PLAYERS_4, 3}};
  for (const auto& [id, count] : choices) {
    SCOPED_TRACE(id);
    MenuGroups t;
    // From the states the menu resource gives before the settings are loaded.
    for (const MenuItemDef& item : kMainMenu) t.host.menu.SetState(item.id, item.initialState);
    EXPECT_TRUE(t.game.SelectFromMenu(id));
    EXPECT_EQ(t.engine.settings.numPlayers, count);
    States4 expected{};
    expected[count] = kC;
    EXPECT_EQ(t.Players(), expected);
  }
  // Greyed for a match, the group keeps its check and comes back with the same choice.
  MenuGroups t;
  t.game.SelectPlayers(2);
  t.game.GreyPlayersGroup();
  t.game.GreyPlayersGroup();
  EXPECT_EQ(t.Players(), (States4{kG, kG, kC | kG, kG})) << "greying twice adds nothing";
  EXPECT_EQ(t.engine.settings.numPlayers, 2u);
  t.game.SelectPlayers(t.engine.settings.numPlayers);
  EXPECT_EQ(t.Players(), (States4{0, 0, kC, 0}));
}

}  // namespace
}  // namespace krelmo::app
