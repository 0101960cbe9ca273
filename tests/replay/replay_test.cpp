// Whole matches recorded through the queue, as the front end feeds the game, and played
// back on a fresh game: the same ending, the same picture, nothing written to the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "replay/game_state.h"
#include "replay/playback.h"
#include "replay/recorder.h"
#include "resources/menu.h"
#include "tests/support/test_game.h"

// Counts the allocations made while `countAllocations` is set.
static bool countAllocations = false;
static int allocations = 0;

void* operator new(std::size_t size) {
  if (countAllocations) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace krelmo::replay {
namespace {

using namespace resources;

struct RecordedGame {
  explicit RecordedGame(bool record = true) {
    game.timer.SetReportSink([](std::string_view) {});
    if (record) recorder.Attach(game);
  }
  void Post(MessageId message, WPARAM wParam = 0, LPARAM lParam = 0) {
    host.queue.PostMessage(message, wParam, lParam);
    game.DispatchPending();
  }
  void Key(WPARAM key) { testing::Press(game, key); }
  void Frames(int count) { testing::Frames(game, count); }
  // Serves and follows the ball with the mouse, a little off its centre, until it is lost
  // or `frames` have run; `miss` steps aside once the serve is away.
  void PlayBall(int frames, int offset, bool miss) {
    Post(WM_LBUTTONDOWN, 0, MakePointLParam(300, 420));
    int wait = 0;
    host.frameHost.onWait = [&] {
      // A move now and then, as a real mouse reports: taken by the step that waits.
      if (++wait % 9 != 0) return;
      const auto& s = game.engine.state;
      const int x =
          miss ? (s.ballX < 300 ? 540 : 30) : s.ballX - engine::kBallOverPaddleMiddle + offset;
      host.queue.PostMessage(
          WM_MOUSEMOVE, 0,
          MakePointLParam(std::clamp(x, app::kPointerStripLeft, app::kPointerStripRight), 420));
    };
    for (int i = 0; i < frames && game.engine.state.ballY < engine::kBallOutOfPlay; ++i) Frames(1);
    host.frameHost.onWait = nullptr;
  }

  headless::HeadlessPlatform host;
  std::vector<std::string> journals;
  Recorder recorder{host.Get(), [this](std::string journal) { journals.push_back(journal); }};
  app::Game game{recorder.Wrapped()};
};

// `journal` played back on a fresh game, whose store must stay in memory.
struct Viewer {
  Viewer(const std::string& journal, Pace pace) : playback(host.Get(), Parsed(journal), pace) {
    playback.Game().timer.SetReportSink([](std::string_view) {});
    playback.Start();
  }
  ~Viewer() {
    EXPECT_TRUE(host.registry.Tree().empty()) << "a playback wrote to the settings store";
  }
  static Replay Parsed(const std::string& journal) {
    ParseError error;
    auto replay = ParseReplay(journal, error);
    EXPECT_TRUE(replay) << "line " << error.line << ": " << error.message;
    return replay ? std::move(*replay) : Replay{};
  }
  headless::HeadlessPlatform host;
  Playback playback;
};

Playback::Outcome PlayBack(const std::string& journal, std::string* why = nullptr) {
  Viewer viewer(journal, Pace::kAtOnce);
  const Playback::Outcome outcome = viewer.playback.Run();
  if (why) *why = viewer.playback.Why();
  return outcome;
}

TEST(Replay, AMouseMatchWithPauseQuestionsAndAHighScorePlaysBackExactly) {
  RecordedGame r;
  r.game.InitApplication();
  r.Post(WM_COMMAND, IDM_PLAYERS_2);
  r.Post(WM_COMMAND, IDM_VARNAK);
  r.Key(VK_F2);
  ASSERT_TRUE(r.recorder.Recording());
  r.PlayBall(400, 7, false);
  r.Key(VK_F3);  // pause, a frame that does nothing, resume
  r.Frames(1);
  r.Key(VK_F3);
  r.host.dialogs.answers.push_back(platform::IDNO);
  r.Key(VK_ESCAPE);  // "Abort game?" No
  r.Key(VK_F3);
  r.host.dialogs.nameToType = "Ann \\ B";
  // The last ball is lost inside a step: moves are taken by the steps up to it, none after.
  for (int ball = 0; ball < 12 && r.game.engine.match.gameActive; ++ball) r.PlayBall(400, 0, true);
  ASSERT_FALSE(r.game.engine.match.gameActive);
  r.Post(WM_MOUSEMOVE, 0, MakePointLParam(10, 10));  // the next look at the queue closes it
  ASSERT_EQ(r.journals.size(), 1u);
  const std::string& journal = r.journals[0];
  EXPECT_NE(journal.find("\nn Ann \\x5C B\n"), std::string::npos);
  EXPECT_NE(journal.find("\na 7\n"), std::string::npos);
  EXPECT_NE(journal.find("\nm "), std::string::npos);

  std::string why;
  EXPECT_EQ(PlayBack(journal, &why), Playback::Outcome::kMatched) << why;

  // A ball that is not where the journal's check has it at a timer tick: the two part there.
  std::string moved = journal;
  const std::size_t tick = moved.find("\nt ", moved.find("\nm ")) + 3;
  moved[tick] = moved[tick] == '0' ? '1' : '0';
  EXPECT_EQ(PlayBack(moved, &why), Playback::Outcome::kParted);
  EXPECT_NE(why.find("at frame "), std::string::npos) << why;
  // A recorded ending that the match does not reach.
  std::string other = journal;
  other[other.rfind("\nend ") + 5] = '9';
  EXPECT_EQ(PlayBack(other, &why), Playback::Outcome::kDiffers);
}

// What a match starts from, taken from a game that played before it, comes back whole on the
// game of its playback, the store's tables too: values that no fresh game has.
TEST(Replay, APlaybacksGameStartsWhereTheRecordedMatchStarted) {
  testing::StartedGame before;
  auto& a = before.game;
  a.app.randomSeed = 12345;
  a.app.waveAvailable = true;
  a.app.joystickPresent = true;
  a.app.appActive = false;
  a.SelectPlayers(2);
  a.SelectVariant(engine::Variant::kVarnak);
  a.SelectSound(engine::SoundMode::kSpeaker);
  a.SelectController(engine::Controller::kJoystick);
  auto& s = a.engine.state;
  s.paddleX = 401;
  s.brickHitLatch = true;
  s.shownScore = 770;
  s.lastJoyX = 40000;
  s.joyInfo = {40000, 1, 2, 3};
  s.joyButton1Down = true;
  s.joyButton2Down = true;
  records::HighScoreTable varnak =
      records::ReadHighScoreTable(before.host.registry, engine::Variant::kVarnak);
  varnak[1] = {7500, "Ann"};
  records::WriteHighScoreTable(before.host.registry, testing::GameKey(before.host.registry).key,
                               engine::Variant::kVarnak, varnak);

  const Header recorded = CaptureStart(a, before.host.registry);
  platform::Registry store;
  RestoreStore(recorded, store);
  testing::StartedGame after;
  RestoreStart(recorded, after.game);
  const std::string text = FormatHeader(CaptureStart(after.game, store));
  EXPECT_EQ(text, FormatHeader(recorded));
  EXPECT_NE(text.find("\nseed 12345\nsettings 3 1 1 0 0\ndevices 1 1 0\n"
                      "state 401 1 770 40000 40000 1 2 3 1 1\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\ntable 1 2 7500 Ann\n"), std::string::npos) << text;
}

TEST(Replay, TheServesDrawAsTheGamesCompilerDidOnEverySystem) {
  std::uint32_t seed = 1;
  for (const int draw : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(app::NextRandom(seed), draw);
}

// The allocations of a rally, with the test's own input: the same whether it is recorded.
int AllocationsOfARally(bool record) {
  RecordedGame r(record);
  r.game.InitApplication();
  r.Key(VK_F2);
  allocations = 0;
  countAllocations = true;
  r.PlayBall(400, 7, false);
  countAllocations = false;
  return allocations;
}

TEST(Replay, RecordingAFrameAllocatesNothing) {
  EXPECT_EQ(AllocationsOfARally(true), AllocationsOfARally(false));
}

TEST(Replay, AJoystickMatchEndedByQuittingPlaysBackExactly) {
  RecordedGame r;
  r.host.joystick.present = true;
  r.host.joystick.reading = {32768, 32768, 0, 0};
  r.game.InitApplication();
  r.Post(WM_COMMAND, IDM_JOYSTICK);
  r.Key(VK_F2);
  auto& stick = r.host.joystick;
  const auto poll = [&](std::uint32_t x, std::uint32_t buttons) {
    stick.reading = {x, 32768, 0, buttons};
    stick.pollFunction(stick.pollContext);
    r.game.DispatchPending();
  };
  poll(20000, 1);  // button 1 serves
  poll(20000, 0);
  for (int i = 0; i < 3; ++i) {
    stick.reading.x = static_cast<std::uint32_t>(i * 15000);
    r.Frames(1);
  }
  stick.reading.buttons = 2;  // the frame's own poll posts the pause; a step sees it
  r.Frames(2);
  poll(30000, 0);
  r.Post(WM_CLOSE);
  ASSERT_EQ(r.journals.size(), 1u);
  const std::string& journal = r.journals[0];
  EXPECT_NE(journal.find("\nj\n"), std::string::npos) << "a reading like the last is one letter";
  EXPECT_NE(journal.find("\nr "), std::string::npos);
  EXPECT_NE(journal.find("\nq\nend "), std::string::npos);
  std::string why;
  EXPECT_EQ(PlayBack(journal, &why), Playback::Outcome::kMatched) << why;
}

TEST(Replay, APacedPlaybackTakesARecordedTickForEachTickOfTheViewersTimerAndStopsAtEsc) {
  RecordedGame r;
  r.game.InitApplication();
  r.Key(VK_F2);
  r.Post(WM_LBUTTONDOWN, 0, MakePointLParam(300, 420));
  r.Frames(3);
  r.Post(WM_CLOSE);
  ASSERT_EQ(r.journals.size(), 1u);
  Viewer viewer(r.journals[0], Pace::kAsRecorded);
  auto& host = viewer.host;
  auto& playback = viewer.playback;
  const std::uint64_t& frames = playback.Game().engine.framesRun;
  EXPECT_TRUE(playback.Turn());
  EXPECT_EQ(frames, 0u) << "a recorded tick ran before the viewer's timer ticked";
  for (std::uint64_t tick = 1; tick <= 3; ++tick) {
    host.queue.PostTimer(app::kPlayTimerId);
    EXPECT_TRUE(playback.Turn());
    EXPECT_EQ(frames, tick);
  }
  EXPECT_EQ(playback.Result(), Playback::Outcome::kMatched) << playback.Why();
  EXPECT_FALSE(playback.Differs());
  host.queue.PostMessage(WM_KEYDOWN, VK_ESCAPE, testing::kFirstPress);
  EXPECT_FALSE(playback.Turn()) << "Esc did not end the playback";
}

}  // namespace
}  // namespace krelmo::replay
