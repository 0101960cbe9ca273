// The main window procedure: what each message does in each state of the match, what it
// returns, the abort questions, activation, re-placing the window and the menu commands.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
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
  switch (s) {
    case Play::kNoMatch:
      return "no match";
    case Play::kWaiting:
      return "waiting for a serve";
    case Play::kInPlay:
      return "ball in play";
    case Play::kPaused:
      return "paused";
  }
  return "?";
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

// A window that reports each placement: lets a test see the state the focus message met.
class SpyWindow final : public platform::WindowSystem {
 public:
  explicit SpyWindow(headless::HeadlessWindowSystem& inner) : inner_(inner) {}
  int ScreenWidth() const override { return inner_.ScreenWidth(); }
  int ScreenHeight() const override { return inner_.ScreenHeight(); }
  platform::Rect WindowRect() const override { return inner_.WindowRect(); }
  void SetWindowPos(int x, int y, int width, int height, bool topmost) override {
    inner_.SetWindowPos(x, y, width, height, topmost);
    if (onPlace) onPlace();
  }
  void ShowWindow(platform::ShowCommand command) override { inner_.ShowWindow(command); }
  platform::Point ClientToScreen(platform::Point p) const override {
    return inner_.ClientToScreen(p);
  }
  void ShowCursor(bool show) override { inner_.ShowCursor(show); }
  void ClipCursor(const platform::Rect* r) override { inner_.ClipCursor(r); }
  void SetCursorPos(int x, int y) override { inner_.SetCursorPos(x, y); }
  void SetTimer(std::uintptr_t id, unsigned periodMs) override { inner_.SetTimer(id, periodMs); }
  void KillTimer(std::uintptr_t id) override { inner_.KillTimer(id); }
  std::function<void()> onPlace;

 private:
  headless::HeadlessWindowSystem& inner_;
};

struct SpiedGame {
  SpiedGame() {
    game.timer.SetReportSink([](std::string_view) {});
    game.InitApplication();
  }
  headless::HeadlessPlatform host;
  SpyWindow window{host.window};
  platform::Platform platform{host.surface, host.queue, host.pc,    host.frameHost, window,
                              host.dialogs, host.menu,  host.sound, host.joystick,  host.registry};
  Game game{platform};
};

TEST(WindowProc, EveryMessageReturnsZeroOrTheDefaultAsTheTableSays) {
  constexpr LRESULT D = kDefaultResult;
  struct Row {
    const char* what;
    Play state;
    MessageId message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
  };
  Window probe;
  const Row rows[] = {
      {"hand-over", Play::kNoMatch, probe.game.app.activateMessage, 0, 0, 0},
      {"move", Play::kNoMatch, WM_MOVE, 0, 0, D},
      {"focus", Play::kNoMatch, WM_SETFOCUS, 0, 0, 0},
      {"end of a move", Play::kNoMatch, WM_EXITSIZEMOVE, 0, 0, 0},
      {"paint", Play::kNoMatch, WM_PAINT, 0, 0, D},
      {"close", Play::kNoMatch, WM_CLOSE, 0, 0, 0},
      {"activation", Play::kNoMatch, WM_ACTIVATEAPP, 1, 0, 0},
      {"F2 starting a match", Play::kNoMatch, WM_KEYDOWN, VK_F2, kF2Press, D},
      {"F2 asking", Play::kWaiting, WM_KEYDOWN, VK_F2, kF2Press, 0},
      {"F2 held", Play::kNoMatch, WM_KEYDOWN, VK_F2, kF2Press | kKeyRepeatBit, 0},
      {"F3", Play::kWaiting, WM_KEYDOWN, VK_F3, kF3Press, 0},
      {"Esc", Play::kNoMatch, WM_KEYDOWN, VK_ESCAPE, kEscPress, 0},
      {"another key", Play::kNoMatch, WM_KEYDOWN, 'A', MakeKeyLParam(0x1E, 0, 0, 0), 0},
      {"timer", Play::kInPlay, WM_TIMER, 1, 0, 0},
      {"timer, no match", Play::kNoMatch, WM_TIMER, 1, 0, 0},
      {"mouse move", Play::kWaiting, WM_MOUSEMOVE, 0, MakePointLParam(100, 0), D},
      {"mouse move, no match", Play::kNoMatch, WM_MOUSEMOVE, 0, 0, D},
      {"left button", Play::kWaiting, WM_LBUTTONDOWN, 0, 0, 0},
      {"right button", Play::kWaiting, WM_RBUTTONDOWN, 0, 0, 0},
      {"right button, no match", Play::kNoMatch, WM_RBUTTONDOWN, 0, 0, 0},
      {"size", Play::kNoMatch, 0x0005, 0, 0, D},
      {"a message of the program's own", Play::kNoMatch, 0x0400, 0, 0, D},
      {"New/Abort", Play::kNoMatch, WM_COMMAND, IDM_NEW_ABORT, 0, D},
      {"Pause/Resume", Play::kWaiting, WM_COMMAND, IDM_PAUSE_RESUME, 0, D},
      {"Exit", Play::kNoMatch, WM_COMMAND, IDM_EXIT, 0, 0},
      {"Varnak", Play::kNoMatch, WM_COMMAND, IDM_VARNAK, 0, D},
      {"2 Players", Play::kNoMatch, WM_COMMAND, IDM_PLAYERS_2, 0, D},
      {"PC Speaker", Play::kNoMatch, WM_COMMAND, IDM_PC_SPEAKER, 0, D},
      {"Mouse", Play::kNoMatch, WM_COMMAND, IDM_MOUSE, 0, D},
      {"Reset High Scores", Play::kNoMatch, WM_COMMAND, IDM_RESET_HIGH_SCORES, 0, D},
      {"Contents", Play::kNoMatch, WM_COMMAND, IDM_CONTENTS, 0, D},
      {"About", Play::kNoMatch, WM_COMMAND, IDM_ABOUT, 0, 0},
      {"unknown command", Play::kNoMatch, WM_COMMAND, 12345, 0, D},
  };
  for (const Row& row : rows) {
    Window t;
    t.Enter(row.state);
    EXPECT_EQ(t.Send(row.message, row.wParam, row.lParam), row.result) << row.what;
  }
  Window t;
  t.game.app.dialogOpen = 1;
  EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 0), kDefaultResult) << "an ignored activation";
}

// What each input does in each state of the match, the application active or not. Every
// question is answered No.
TEST(WindowProc, EachInputActsOnlyInTheStatesOfTheMatchWhereItMeansSomething) {
  enum Input { kLeft, kRight, kF3, kPauseResume, kF2, kNewAbort, kEsc, kTimer, kMouse };
  const char* kInputNames[] = {"left button", "right button", "F3",    "Pause/Resume", "F2",
                               "New/Abort",   "Esc",          "timer", "mouse move"};
  struct Row {
    Play state;
    bool active;
    Input input;
    Play after;
    const char* question;  // "" for none
    bool ballMoves;
    bool paddleMoves;
  };
  using enum Play;
  const Row rows[] = {
      {kNoMatch, true, kLeft, kNoMatch, "", false, false},
      {kNoMatch, true, kRight, kNoMatch, "", false, false},
      {kNoMatch, true, kF3, kNoMatch, "", false, false},
      {kNoMatch, true, kPauseResume, kNoMatch, "", false, false},
      {kNoMatch, true, kF2, kWaiting, "", false, false},
      {kNoMatch, true, kNewAbort, kWaiting, "", false, false},
      {kNoMatch, true, kEsc, kNoMatch, "", false, false},
      {kNoMatch, true, kTimer, kNoMatch, "", false, false},
      {kNoMatch, true, kMouse, kNoMatch, "", false, false},

      {kWaiting, true, kLeft, kInPlay, "", true, false},
      {kWaiting, true, kRight, kPaused, "", false, false},
      {kWaiting, true, kF3, kPaused, "", false, false},
      {kWaiting, true, kPauseResume, kPaused, "", false, false},
      {kWaiting, true, kF2, kPaused, "Abort Game?", false, false},
      {kWaiting, true, kNewAbort, kPaused, "Abort Game?", false, false},
      {kWaiting, true, kEsc, kPaused, "Abort game?", false, false},
      {kWaiting, true, kTimer, kWaiting, "", false, false},
      {kWaiting, true, kMouse, kWaiting, "", false, true},

      {kInPlay, true, kLeft, kInPlay, "", false, false},
      {kInPlay, true, kRight, kPaused, "", false, false},
      {kInPlay, true, kF3, kPaused, "", false, false},
      {kInPlay, true, kPauseResume, kPaused, "", false, false},
      {kInPlay, true, kF2, kPaused, "Abort Game?", false, false},
      {kInPlay, true, kNewAbort, kPaused, "Abort Game?", false, false},
      {kInPlay, true, kEsc, kPaused, "Abort game?", false, false},
      {kInPlay, true, kTimer, kInPlay, "", true, false},
      {kInPlay, true, kMouse, kInPlay, "", false, true},

      {kPaused, true, kLeft, kPaused, "", false, false},
      {kPaused, true, kRight, kInPlay, "", false, false},
      {kPaused, true, kF3, kInPlay, "", false, false},
      {kPaused, true, kPauseResume, kInPlay, "", false, false},
      {kPaused, true, kF2, kPaused, "Abort Game?", false, false},
      {kPaused, true, kNewAbort, kPaused, "Abort Game?", false, false},
      {kPaused, true, kEsc, kPaused, "Abort game?", false, false},
      {kPaused, true, kTimer, kPaused, "", false, false},
      {kPaused, true, kMouse, kPaused, "", false, false},

      // Another application is active: the right button, F3 and "Pause/Resume" do nothing,
      // nor does Esc outside a pause; F2 and the serve still act, play stops.
      {kInPlay, false, kRight, kInPlay, "", false, false},
      {kInPlay, false, kF3, kInPlay, "", false, false},
      {kInPlay, false, kPauseResume, kInPlay, "", false, false},
      {kInPlay, false, kEsc, kInPlay, "", false, false},
      {kInPlay, false, kF2, kPaused, "Abort Game?", false, false},
      {kInPlay, false, kTimer, kInPlay, "", false, false},
      {kInPlay, false, kMouse, kInPlay, "", false, false},
      {kWaiting, false, kLeft, kInPlay, "", true, false},
      {kPaused, false, kRight, kPaused, "", false, false},
      {kPaused, false, kF3, kPaused, "", false, false},
      {kPaused, false, kPauseResume, kPaused, "", false, false},
      {kPaused, false, kEsc, kPaused, "Abort game?", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << Name(row.state) << (row.active ? "" : ", inactive") << ", "
                                      << kInputNames[row.input]);
    Window t;
    t.Enter(row.state);
    t.game.app.appActive = row.active;
    const auto ballX = t.engine.state.ballX, ballY = t.engine.state.ballY;
    switch (row.input) {
      case kLeft:
        t.Send(WM_LBUTTONDOWN);
        break;
      case kRight:
        t.Send(WM_RBUTTONDOWN);
        break;
      case kF3:
        t.Key(VK_F3);
        break;
      case kPauseResume:
        t.Command(IDM_PAUSE_RESUME);
        break;
      case kF2:
        t.Key(VK_F2);
        break;
      case kNewAbort:
        t.Command(IDM_NEW_ABORT);
        break;
      case kEsc:
        t.Key(VK_ESCAPE);
        break;
      case kTimer:
        t.Send(WM_TIMER, kPlayTimerId);
        break;
      case kMouse:
        t.Send(WM_MOUSEMOVE, 0, MakePointLParam(150, 410));
        break;
    }
    EXPECT_EQ(Name(t.Now()), Name(row.after));
    EXPECT_EQ(t.LastQuestion(), row.question);
    EXPECT_LE(t.host.dialogs.shown.size(), 1u);
    if (row.input == kLeft || row.input == kTimer) {
      EXPECT_EQ(t.engine.state.ballX != ballX || t.engine.state.ballY != ballY, row.ballMoves);
    }
    EXPECT_EQ(t.engine.state.paddleX == 150, row.paddleMoves);
  }
}

TEST(WindowProc, MouseMovesThePaddleOnlyWhileTheMouseIsTheController) {
  Window t;
  t.Enter(Play::kInPlay);
  t.game.SelectController(IDM_JOYSTICK);  // a change during a match takes effect at once
  t.Send(WM_MOUSEMOVE, 0, MakePointLParam(150, 410));
  EXPECT_EQ(t.engine.state.paddleX, 290);
  t.Command(IDM_MOUSE);
  t.Send(WM_MOUSEMOVE, 0, MakePointLParam(150, 77));
  EXPECT_EQ(t.engine.state.paddleX, 150) << "x is the low 16 bits, whatever y is";
}

TEST(WindowProc, TheTimerRunsAFrameOnlyInAnUnpausedMatchOfTheActiveApplication) {
  for (const int gameActive : {0, 1}) {
    for (const int paused : {0, 1}) {
      for (const int active : {0, 1}) {
        Window t;
        // A ball in flight in every case, so that only the flags decide.
        t.engine.match = {static_cast<std::uint32_t>(gameActive),
                          static_cast<std::uint32_t>(paused), 0, 0};
        t.engine.state.ballX = 300;
        t.engine.state.ballY = 300;
        t.game.app.appActive = static_cast<std::uint32_t>(active);
        EXPECT_EQ(t.Send(WM_TIMER, 7), 0);
        EXPECT_EQ(t.engine.state.ballY != 300, gameActive && !paused && active)
            << "game " << gameActive << ", paused " << paused << ", active " << active;
      }
    }
  }
}

TEST(WindowProc, KeysActOnlyOnAFirstPressWithoutAlt) {
  struct Row {
    const char* what;
    LPARAM lParam;
    bool acts;
  };
  const Row rows[] = {
      {"first press", kF3Press, true},
      {"extended key", MakeKeyLParam(0x3D, true, false, false), true},
      {"from the menu", 0x4000, true},
      {"a repeat count in the low bits", 0xFFFF | (LPARAM{0x3D} << 16), true},
      {"bits 16 to 31 at 0x300", LPARAM{0x300} << 16, true},
      {"bits 16 to 31 at 0x301", LPARAM{0x301} << 16, false},
      {"auto-repeat", MakeKeyLParam(0x3D, false, false, true), false},
      {"Alt held", MakeKeyLParam(0x3D, false, true, false), false},
      {"key-up bit", kF3Press | (LPARAM{1} << 31), false},
  };
  for (const Row& row : rows) {
    Window t;
    t.Enter(Play::kInPlay);
    EXPECT_EQ(t.Send(WM_KEYDOWN, VK_F3, row.lParam), 0) << row.what;
    EXPECT_EQ(t.Now() == Play::kPaused, row.acts) << row.what;
  }
}

TEST(WindowProc, HoldingF3DownTogglesThePauseOnce) {
  Window t;
  t.Enter(Play::kInPlay);
  t.Send(WM_KEYDOWN, VK_F3, kF3Press);
  for (int i = 0; i < 10; ++i) {
    t.Send(WM_KEYDOWN, VK_F3, MakeKeyLParam(0x3D, false, false, true));
  }
  EXPECT_EQ(Name(t.Now()), Name(Play::kPaused));
  t.Send(WM_KEYDOWN, VK_F3, kF3Press);
  EXPECT_EQ(Name(t.Now()), Name(Play::kInPlay));
  EXPECT_EQ(t.engine.state.ballY, 300) << "the ball goes on from where it was";
}

TEST(WindowProc, F2WithTheCursorHiddenAndNoMatchDoesNothing) {
  Window t;
  t.engine.match.cursorVisible = 0;
  EXPECT_EQ(t.Key(VK_F2), 0);
  EXPECT_EQ(t.engine.match.gameActive, 0u);
  EXPECT_TRUE(t.host.dialogs.shown.empty());
}

TEST(AbortQuestion, AsksWithTheGamePausedAndAYesEndsTheMatch) {
  for (const WPARAM key : {VK_F2, VK_ESCAPE}) {
    Window t;
    t.Enter(Play::kInPlay);
    t.host.dialogs.answers.push_back(IDYES);
    std::optional<std::uint32_t> pausedDuring, boxFlagDuring;
    t.host.dialogs.onModal = [&] {
      pausedDuring = t.engine.match.paused;
      boxFlagDuring = t.game.app.messageBoxOpen;
    };
    EXPECT_EQ(t.Key(key), 0);
    ASSERT_EQ(t.host.dialogs.shown.size(), 1u);
    const auto& box = t.host.dialogs.shown[0];
    EXPECT_EQ(box.text, key == VK_F2 ? "Abort Game?" : "Abort game?");
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.style, kQuestionStyle);
    EXPECT_EQ(pausedDuring, 1u) << "the timer does nothing while the box is up";
    EXPECT_EQ(boxFlagDuring, 1u);
    EXPECT_EQ(t.game.app.messageBoxOpen, 0u);
    EXPECT_EQ(Name(t.Now()), Name(Play::kNoMatch));
  }
}

TEST(AbortQuestion, ANoLeavesThePauseAsItWasTaken) {
  Window t;
  t.Enter(Play::kInPlay);
  t.Key(VK_F2);
  ASSERT_EQ(Name(t.Now()), Name(Play::kPaused));
  const auto saved = t.engine.match.savedBallY;
  t.Key(VK_F2);  // asked again while paused: no second pause
  t.Key(VK_ESCAPE);
  EXPECT_EQ(t.host.dialogs.shown.size(), 3u);
  EXPECT_EQ(t.engine.match.savedBallY, saved);
  EXPECT_EQ(t.game.app.messageBoxOpen, 0u);
  t.Send(WM_RBUTTONDOWN);
  EXPECT_EQ(Name(t.Now()), Name(Play::kInPlay));
}

TEST(AbortQuestion, TheWindowIsRePlacedAndRedrawnBeforeTheAnswerIsActedOn) {
  for (const WPARAM key : {VK_F2, VK_ESCAPE}) {
    SpiedGame s;
    Game& game = s.game;
    game.engine.match.gameActive = 1;
    game.engine.match.cursorVisible = 0;
    s.host.dialogs.answers.push_back(IDYES);
    s.host.dialogs.onModal = [&] { s.host.window.rect = {-50, -50, 590, 430}; };
    int placements = 0;
    std::uint32_t gameActiveThen = 0, boxFlagThen = 0;
    s.window.onPlace = [&] {
      ++placements;
      gameActiveThen = game.engine.match.gameActive;
      boxFlagThen = game.app.messageBoxOpen;
    };
    game.MainWindowProc(WM_KEYDOWN, key, kF2Press);
    EXPECT_EQ(placements, 1);
    EXPECT_EQ(s.host.window.rect.left, 1);
    EXPECT_EQ(gameActiveThen, 1u) << "the match had not ended yet";
    EXPECT_EQ(boxFlagThen, 1u);
    EXPECT_EQ(game.engine.match.gameActive, 0u);
  }
}

TEST(Activation, SwitchingAwayDuringPlayPausesAndMinimisesAndComingBackDoesNotResume) {
  for (const Play state : {Play::kWaiting, Play::kInPlay}) {
    SCOPED_TRACE(Name(state));
    Window t;
    t.Enter(state);
    EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 0), 0);
    EXPECT_EQ(t.game.app.appActive, 0u);
    EXPECT_EQ(Name(t.Now()), Name(Play::kPaused));
    EXPECT_EQ(t.host.window.minimizeCount, 1);
    EXPECT_EQ(t.Send(WM_ACTIVATEAPP, 1), 0);
    EXPECT_EQ(t.game.app.appActive, 1u);
    EXPECT_EQ(Name(t.Now()), Name(Play::kPaused));
    EXPECT_EQ(t.host.window.minimizeCount, 1);
    EXPECT_EQ(t.host.window.restoreCount, 0);
  }
}

TEST(Activation, SwitchingAwayWithNoMatchOrAlreadyPausedOnlyMinimises) {
  for (const Play state : {Play::kNoMatch, Play::kPaused}) {
    SCOPED_TRACE(Name(state));
    Window t;
    t.Enter(state);
    t.Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(t.host.window.minimizeCount, 1);
    EXPECT_EQ(Name(t.Now()), Name(state));
    EXPECT_EQ(t.engine.match.savedBallY, 300) << "a second pause would lose the ball";
  }
}

TEST(Activation, IgnoredWhileQuittingOrWhileTheAboutDialogIsOpen) {
  Window quitting;
  quitting.Enter(Play::kInPlay);
  quitting.game.app.quitting = 1;
  quitting.Send(WM_ACTIVATEAPP, 0);
  EXPECT_EQ(quitting.game.app.appActive, 1u);
  EXPECT_EQ(quitting.host.window.minimizeCount, 0);
  EXPECT_EQ(Name(quitting.Now()), Name(Play::kInPlay));

  Window t;
  t.Enter(Play::kInPlay);
  t.host.dialogs.onModal = [&] {
    t.host.queue.PostMessage(WM_ACTIVATEAPP, 0);
    t.game.DispatchPending();
  };
  EXPECT_EQ(t.Command(IDM_ABOUT), 0);
  EXPECT_EQ(t.host.dialogs.aboutShown, 1);
  EXPECT_EQ(t.game.app.appActive, 1u);
  EXPECT_EQ(t.host.window.minimizeCount, 0);
  EXPECT_EQ(Name(t.Now()), Name(Play::kInPlay));
}

TEST(Placement, FocusAndEndOfMoveKeepTheWholeWindowOnScreenFromPointOneOne) {
  struct Row {
    int screenWidth, screenHeight, left, top, x, y;
  };
  const Row rows[] = {
      {1024, 768, -50, -50, 1, 1},
      {1024, 768, 0, 0, 1, 1},
      {1024, 768, 1, 1, 1, 1},
      {1024, 768, 200, 100, 200, 100},
      {1024, 768, 384, 288, 384, 288},
      {1024, 768, 385, 289, 384, 288},
      {1024, 768, 900, 700, 384, 288},
      {1024, 768, 5000, -20, 384, 1},
      {800, 600, -50, 500, 1, 120},
      // A screen the window's own size: fully on screen wins, at (0, 0).
      {640, 480, -50, -50, 0, 0},
      {640, 480, 10, 10, 0, 0},
  };
  for (const MessageId message : {WM_SETFOCUS, WM_EXITSIZEMOVE}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(::testing::Message() << message << ": " << r.screenWidth << "x" << r.screenHeight
                                        << " at " << r.left << "," << r.top);
      Window t;
      auto& w = t.host.window;
      w.screenWidth = r.screenWidth;
      w.screenHeight = r.screenHeight;
      w.rect = {r.left, r.top, r.left + 640, r.top + 480};
      w.topmost = false;
      t.Scribble();
      EXPECT_EQ(t.Send(message), 0);
      EXPECT_EQ(t.game.app.windowX, r.x);
      EXPECT_EQ(t.game.app.windowY, r.y);
      EXPECT_EQ(w.rect.left, r.x);
      EXPECT_EQ(w.rect.top, r.y);
      EXPECT_EQ(w.rect.right - w.rect.left, 640);
      EXPECT_EQ(w.rect.bottom - w.rect.top, 480);
      EXPECT_TRUE(w.topmost);
      EXPECT_TRUE(t.Redrawn());
    }
  }
}

TEST(Placement, ASecondStartBringsTheMinimisedWindowBackOnScreenRedrawn) {
  Window t;
  t.host.window.minimized = true;
  t.host.window.rect = {-700, 2000, -60, 2480};
  t.Scribble();
  EXPECT_EQ(t.Send(t.game.app.activateMessage), 0);
  EXPECT_EQ(t.host.window.restoreCount, 1);
  EXPECT_FALSE(t.host.window.minimized);
  EXPECT_EQ(t.host.window.rect.left, 1);
  EXPECT_EQ(t.host.window.rect.top, 768 - 480);
  EXPECT_TRUE(t.host.window.topmost);
  EXPECT_TRUE(t.Redrawn());
}

TEST(Redraw, EveryEleventhMoveMessageRedrawsTheWindow) {
  Window t;
  for (int round = 0; round < 2; ++round) {
    t.Scribble();
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(t.Send(WM_MOVE), kDefaultResult);
    EXPECT_FALSE(t.Redrawn()) << "round " << round;
    t.Send(WM_MOVE);
    EXPECT_TRUE(t.Redrawn()) << "round " << round;
    EXPECT_EQ(t.game.app.moveCount, 0u);
  }
}

TEST(Redraw, PaintRedrawsOnlyUnderABoxOrADialog) {
  Window t;
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

TEST(Commands, CloseAndExitPostTheQuitMessage) {
  Window close;
  EXPECT_FALSE(close.QuitPosted());
  close.Send(WM_CLOSE);
  EXPECT_TRUE(close.QuitPosted());
  Window exit;
  exit.Send(WM_COMMAND, (WPARAM{1} << 16) | IDM_EXIT);  // as an accelerator sends it
  EXPECT_TRUE(exit.QuitPosted());
}

TEST(Commands, SelectionsTakeEffectAndRedraw) {
  struct Row {
    int id;
    std::function<bool(const engine::Settings&)> took;
  };
  const Row rows[] = {
      {IDM_VARNAK, [](const auto& s) { return s.gameVariant == 1; }},
      {IDM_PLAYERS_3, [](const auto& s) { return s.numPlayers == 2; }},
      {IDM_NO_SOUND, [](const auto& s) { return s.soundOn == 0; }},
      {IDM_JOYSTICK, [](const auto& s) { return s.useMouse == 0; }},
  };
  for (const Row& row : rows) {
    Window t;
    t.Scribble();
    t.engine.settings.soundOn = 1;
    EXPECT_EQ(t.Command(row.id), kDefaultResult);
    EXPECT_TRUE(row.took(t.engine.settings)) << row.id;
    EXPECT_EQ(t.host.menu.GetState(row.id), platform::MFS_CHECKED) << row.id;
    EXPECT_TRUE(t.Redrawn()) << row.id;
  }
  Window reset;
  reset.Scribble();
  reset.Command(IDM_RESET_HIGH_SCORES);
  EXPECT_TRUE(reset.Redrawn());
}

TEST(Commands, AnUnknownCommandChangesNothing) {
  Window t;
  const auto menu = t.host.menu.States();
  t.Scribble();
  t.Command(12345);
  EXPECT_EQ(t.host.menu.States(), menu);
  EXPECT_FALSE(t.Redrawn());
  EXPECT_FALSE(t.QuitPosted());
}

TEST(Commands, AboutMarksTheDialogOpenAndTheFocusComesBackAfterItCloses) {
  SpiedGame s;
  std::optional<std::uint32_t> openDuring, openAtPlacement;
  s.host.dialogs.onModal = [&] { openDuring = s.game.app.dialogOpen; };
  s.window.onPlace = [&] { openAtPlacement = s.game.app.dialogOpen; };
  s.game.MainWindowProc(WM_COMMAND, IDM_ABOUT, 0);
  EXPECT_EQ(s.host.dialogs.aboutShown, 1);
  EXPECT_EQ(openDuring, 1u);
  EXPECT_EQ(openAtPlacement, 0u);
  EXPECT_EQ(s.game.app.dialogOpen, 0u);
}

TEST(Commands, HelpThatCannotBeShownIsToldInABox) {
  Window shown;
  shown.Command(IDM_CONTENTS);
  EXPECT_EQ(shown.host.dialogs.helpShown, 1);
  EXPECT_TRUE(shown.host.dialogs.shown.empty());

  Window missing;
  missing.host.dialogs.helpAvailable = false;
  missing.host.window.rect = {-50, -50, 590, 430};
  EXPECT_EQ(missing.Command(IDM_CONTENTS), kDefaultResult);
  ASSERT_EQ(missing.host.dialogs.shown.size(), 1u);
  EXPECT_EQ(missing.host.dialogs.shown[0].text, "The help could not be shown.");
  EXPECT_EQ(missing.host.dialogs.shown[0].caption, "Krelmo '99");
  EXPECT_EQ(missing.host.dialogs.shown[0].style, 0x30u);
  EXPECT_EQ(missing.game.app.messageBoxOpen, 0u);
  EXPECT_EQ(missing.host.window.rect.left, 1) << "the focus came back when the box closed";
}

}  // namespace
}  // namespace krelmo::app
