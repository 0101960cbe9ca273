// The main window procedure: what each message does in each state of the match, what it
// returns, the abort questions, activation, re-placing the window and the menu commands.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "engine/palette.h"
#include "engine/playfield.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

namespace krelmo::app {
namespace {

using namespace resources;
using platform::IDYES;

constexpr LPARAM kF2Press = MakeKeyLParam(0x3C, false, false, false);
constexpr LPARAM kF3Press = MakeKeyLParam(0x3D, false, false, false);
constexpr LPARAM kEscPress = MakeKeyLParam(0x01, false, false, false);
constexpr std::uint32_t kQuestionStyle = 0x34;

enum class Play { kNoMatch, kWaiting, kInPlay, kPaused };

const char* Name(Play s) {
  static const char* const kNames[] = {"no match", "waiting for a serve", "ball in play", "paused"};
  return kNames[static_cast<int>(s)];
}

struct Window : testing::StartedGame {
  LRESULT Send(MessageId message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return game.MainWindowProc(message, wParam, lParam);
  }
  LRESULT Key(WPARAM key) {
    return Send(WM_KEYDOWN, key, key == VK_F2 ? kF2Press : key == VK_F3 ? kF3Press : kEscPress);
  }
  LRESULT Command(int id) { return Send(WM_COMMAND, static_cast<WPARAM>(id)); }

  // Puts the match into a state of the match flow, as the flow leaves its flags.
  void Enter(Play s) {
    auto& m = engine.match;
    auto& st = engine.state;
    m.gameActive = s != Play::kNoMatch;
    m.paused = s == Play::kPaused;
    m.cursorVisible = s == Play::kNoMatch || s == Play::kPaused;
    st.ballX = 300;
    st.ballY = s == Play::kInPlay ? 300 : 480;
    m.savedBallY = 300;  // a pause taken with the ball in flight
  }
  Play Now() const {
    const auto& m = engine.match;
    if (!m.gameActive) return Play::kNoMatch;
    if (m.paused) return Play::kPaused;
    return engine.state.ballY >= 470 ? Play::kWaiting : Play::kInPlay;
  }

  // Spoils a brick and a wall on screen; a full redraw puts both back.
  void Scribble() {
    dc.SelectObject(Brush{0x123456});
    dc.SelectObject(Pen{0x123456});
    dc.Rectangle(engine::CellLeft(3), engine::CellTop(2), engine::CellLeft(4), engine::CellTop(3));
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

// The inputs of the match, each given as the window system sends it, with what it returns.
enum Input { kLeft, kRight, kF3, kPauseResume, kF2, kNewAbort, kEsc, kTimer, kMouse };
const std::function<LRESULT(Window&)> kGive[] = {
    [](Window& t) { return t.Send(WM_LBUTTONDOWN); },
    [](Window& t) { return t.Send(WM_RBUTTONDOWN); },
    [](Window& t) { return t.Key(VK_F3); },
    [](Window& t) { return t.Command(IDM_PAUSE_RESUME); },
    [](Window& t) { return t.Key(VK_F2); },
    [](Window& t) { return t.Command(IDM_NEW_ABORT); },
    [](Window& t) { return t.Key(VK_ESCAPE); },
    [](Window& t) { return t.Send(WM_TIMER, kPlayTimerId); },
    [](Window& t) { return t.Send(WM_MOUSEMOVE, 0, MakePointLParam(150, 410)); },
};
const char* const kInputs[] = {"left button", "right button", "F3",    "Pause/Resume", "F2",
                               "New/Abort",   "Esc",          "timer", "mouse move"};

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
  struct Inactive {
    Play state;
    Input input;
    Play after;
    const char* question;
  };
  const Inactive inactive[] = {
      {kInPlay, kRight, kInPlay, ""},         {kInPlay, kF3, kInPlay, ""},
      {kInPlay, kPauseResume, kInPlay, ""},   {kInPlay, kEsc, kInPlay, ""},
      {kInPlay, kF2, kPaused, "Abort Game?"}, {kInPlay, kTimer, kInPlay, ""},
      {kInPlay, kMouse, kInPlay, ""},         {kWaiting, kLeft, kInPlay, ""},
      {kPaused, kRight, kPaused, ""},         {kPaused, kF3, kPaused, ""},
      {kPaused, kPauseResume, kPaused, ""},   {kPaused, kEsc, kPaused, "Abort game?"},
  };
  auto check = [&](Play state, bool isActive, Input input, Play after, const char* question) {
    SCOPED_TRACE(::testing::Message()
                 << Name(state) << (isActive ? "" : ", inactive") << ", " << kInputs[input]);
    Window t;
    t.Enter(state);
    t.game.app.appActive = isActive;
    const auto ballY = t.engine.state.ballY;
    const LRESULT result = kGive[input](t);
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
      EXPECT_EQ(result, startsAMatch ? D : row.result) << Name(state) << ", " << kInputs[row.input];
    }
  }
  for (const Inactive& row : inactive) check(row.state, false, row.input, row.after, row.question);
}

TEST(WindowProc, KeysActOnlyOnAFirstPressWithoutAlt) {
  // A first press acts, extended or from the menu, whatever the repeat count in the low bits,
  // with bits 16 to 31 up to 0x300; not with 0x301 there, nor on auto-repeat, Alt or key-up.
  const std::pair<LPARAM, bool> rows[] = {
      {kF3Press, true},
      {MakeKeyLParam(0x3D, true, false, false), true},
      {0x4000, true},
      {0xFFFF | (LPARAM{0x3D} << 16), true},
      {LPARAM{0x300} << 16, true},
      {LPARAM{0x301} << 16, false},
      {MakeKeyLParam(0x3D, false, false, true), false},
      {MakeKeyLParam(0x3D, false, true, false), false},
      {kF3Press | (LPARAM{1} << 31), false},
  };
  for (const auto& [lParam, acts] : rows) {
    Window t;
    t.Enter(Play::kInPlay);
    EXPECT_EQ(t.Send(WM_KEYDOWN, VK_F3, lParam), 0) << std::hex << lParam;
    EXPECT_EQ(t.Now() == Play::kPaused, acts) << std::hex << lParam;
  }
  Window hidden;  // F2 with the cursor hidden and no match does nothing
  hidden.engine.match.cursorVisible = 0;
  hidden.Key(VK_F2);
  EXPECT_EQ(Name(hidden.Now()), Name(Play::kNoMatch));
  EXPECT_TRUE(hidden.host.dialogs.shown.empty());
}

// The game is paused while the question is up; when it closes the window is placed back on
// screen before a Yes ends the match.
// The game is paused while the question is up; when it closes the window is placed back on
// screen before a Yes ends the match.
TEST(AbortQuestion, AsksWithTheGamePausedAndAYesEndsTheMatchAfterThePlacement) {
  for (const WPARAM key : {VK_F2, VK_ESCAPE}) {
    Window t;
    t.Enter(Play::kInPlay);
    t.host.dialogs.answers.push_back(IDYES);
    std::uint32_t pausedDuring = 0, gameActiveAtPlacement = 0;
    t.host.dialogs.onModal = [&] {
      pausedDuring = t.engine.match.paused;
      t.host.window.rect = {-50, -50, 590, 430};
    };
    t.host.window.onPlace = [&] { gameActiveAtPlacement = t.engine.match.gameActive; };
    EXPECT_EQ(t.Key(key), 0);
    ASSERT_EQ(t.host.dialogs.shown.size(), 1u);
    const auto& box = t.host.dialogs.shown[0];
    EXPECT_EQ(box.text, key == VK_F2 ? "Abort Game?" : "Abort game?");
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.style, kQuestionStyle);
    EXPECT_EQ(pausedDuring, 1u) << "the timer does nothing while the box is up";
    EXPECT_EQ(t.host.window.rect.left, 1);
    EXPECT_EQ(gameActiveAtPlacement, 1u) << "the match had not ended yet";
    EXPECT_EQ(t.game.app.messageBoxOpen, 0u);
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
    EXPECT_EQ(t.game.app.appActive, 0u);
    if (state == kNoMatch || state == kPaused) {
      EXPECT_EQ(t.engine.match.savedBallY, 300) << "a second pause would lose the ball";
    }
    EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 1), 0);
    EXPECT_EQ(t.game.app.appActive, 1u);
    EXPECT_EQ(Name(t.Now()), Name(after));
    EXPECT_EQ(t.host.window.minimizeCount, 1);
    EXPECT_EQ(t.host.window.restoreCount, 0);
  }
  // Ignored while quitting, and while the About dialog is open.
  Window quitting;
  quitting.Enter(kInPlay);
  quitting.game.app.quitting = 1;
  quitting.Send(WM_ACTIVATEAPP, 0);
  Window about;
  about.Enter(kInPlay);
  about.host.dialogs.onModal = [&] {
    about.host.queue.PostMessage(WM_ACTIVATEAPP, 0);
    about.game.DispatchPending();
  };
  EXPECT_EQ(about.Command(IDM_ABOUT), 0);
  EXPECT_EQ(about.host.dialogs.aboutShown, 1);
  for (Window* t : {&quitting, &about}) {
    EXPECT_EQ(t->game.app.appActive, 1u);
    EXPECT_EQ(t->host.window.minimizeCount, 0);
    EXPECT_EQ(Name(t->Now()), Name(kInPlay));
  }
}

TEST(Placement, FocusAndEndOfMoveKeepTheWholeWindowOnScreenFromPointOneOne) {
  struct Row {
    int screenWidth, screenHeight, left, top, x, y;
  };
  const Row rows[] = {
      {1024, 768, -50, -50, 1, 1},     {1024, 768, 0, 0, 1, 1},
      {1024, 768, 200, 100, 200, 100}, {1024, 768, 385, 289, 384, 288},
      {1024, 768, 5000, -20, 384, 1},  {800, 600, -50, 500, 1, 120},
      {640, 480, 10, 10, 0, 0},  // a screen the window's size: fully on screen wins
  };
  for (const MessageId message : {WM_SETFOCUS, WM_EXITSIZEMOVE}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(::testing::Message() << message << ": " << r.screenWidth << " at " << r.left);
      Window t;
      auto& w = t.host.window;
      w.screenWidth = r.screenWidth;
      w.screenHeight = r.screenHeight;
      w.rect = {r.left, r.top, r.left + 640, r.top + 480};
      w.topmost = false;
      t.Scribble();
      EXPECT_EQ(t.Send(message), 0);
      EXPECT_EQ((std::array{w.rect.left, w.rect.top, w.rect.right, w.rect.bottom}),
                (std::array{r.x, r.y, r.x + 640, r.y + 480}));
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
  EXPECT_EQ(t.host.window.rect.top, 768 - 480);
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
  t.Scribble();
  t.Send(WM_PAINT);
  EXPECT_FALSE(t.Redrawn());
  t.game.app.messageBoxOpen = 1;
  t.Send(WM_PAINT);
  EXPECT_TRUE(t.Redrawn());
  Window about;
  about.host.dialogs.onModal = [&] {
    about.Scribble();
    about.Send(WM_PAINT);
    EXPECT_TRUE(about.Redrawn());
  };
  about.Command(IDM_ABOUT);
}

TEST(Commands, ExitPostsTheQuitMessage) {
  Window t;
  t.Send(WM_COMMAND, (WPARAM{1} << 16) | IDM_EXIT);  // as an accelerator sends it
  EXPECT_TRUE(t.QuitPosted());
}

TEST(Commands, HelpThatCannotBeShownIsToldInABox) {
  Window shown, missing;
  shown.Command(IDM_CONTENTS);
  EXPECT_EQ(shown.host.dialogs.helpShown, 1);
  EXPECT_TRUE(shown.host.dialogs.shown.empty());
  missing.host.dialogs.helpAvailable = false;
  missing.host.window.rect = {-50, -50, 590, 430};
  EXPECT_EQ(missing.Command(IDM_CONTENTS), kDefaultResult);
  ASSERT_EQ(missing.host.dialogs.shown.size(), 1u);
  EXPECT_EQ(missing.host.dialogs.shown[0].text, "The help could not be shown.");
  EXPECT_EQ(missing.host.dialogs.shown[0].style, 0x30u);
  EXPECT_EQ(missing.host.window.rect.left, 1) << "the focus came back when the box closed";
}

}  // namespace
}  // namespace krelmo::app
