// The drawing surface: rectangles with their ring and inside, exact colour read-back,
// clipping at every edge, and text on its opaque box; and the message queue: order, filters,
// coalesced timer ticks and mouse moves, and quit; and the timing module's error reports and
// the time it measures.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/palette.h"
#include "platform/clock.h"
#include "platform/message_queue.h"
#include "platform/pc_hardware.h"
#include "resources/fonts/game_font.h"
#include "timing/timer_module.h"

namespace krelmo {
namespace {

using platform::Surface;

class SurfaceTest : public ::testing::Test {
 protected:
  // Counts the pixels of one colour over the whole surface.
  int CountColour(Colour colour) const {
    int n = 0;
    for (int y = 0; y < Surface::kHeight; ++y)
      for (int x = 0; x < Surface::kWidth; ++x) n += dc.GetPixel(x, y) == colour;
    return n;
  }
  Surface dc;
};

TEST_F(SurfaceTest, RectanglePaintsRingInPenAndInsideInBrushWithRightAndBottomExcluded) {
  dc.SelectObject(engine::blackPen);
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(10, 10, 18, 18);
  for (int y = 8; y < 20; ++y) {
    for (int x = 8; x < 20; ++x) {
      const bool inside = x >= 10 && x <= 17 && y >= 10 && y <= 17;
      const bool ring = inside && (x == 10 || x == 17 || y == 10 || y == 17);
      const Colour expected = ring ? engine::kRed : inside ? engine::kWhite : 0;
      EXPECT_EQ(dc.GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(SurfaceTest, EmptyThinReversedAndClippedRectangles) {
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(100, 100, 100, 108);  // zero width
  dc.Rectangle(100, 100, 108, 100);  // zero height
  // Wholly outside on each side.
  for (const auto& [l, t, r, b] :
       {std::array{-100, 10, -1, 20}, {640, 10, 700, 20}, {10, -100, 20, 0}, {10, 480, 20, 600}}) {
    dc.Rectangle(l, t, r, b);
  }
  EXPECT_EQ(CountColour(0), Surface::kWidth * Surface::kHeight);
  dc.Rectangle(50, 50, 51, 60);
  EXPECT_EQ(CountColour(engine::kRed), 10) << "one pixel wide is all ring";
  dc.Rectangle(18, 18, 10, 10);  // reversed
  EXPECT_EQ((std::array{dc.GetPixel(10, 10), dc.GetPixel(12, 12), dc.GetPixel(18, 18)}),
            (std::array{engine::kRed, engine::kWhite, Colour{0}}));
  dc.Rectangle(636, 476, 645, 490);  // bottom-right corner: the near ring and the inside show
  EXPECT_EQ(dc.GetPixel(636, 476), engine::kRed);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kWhite);
  dc.Rectangle(-5, -5, 3, 3);  // top-left corner: the inside and the far ring
  EXPECT_EQ(dc.GetPixel(0, 0), engine::kWhite);
  EXPECT_EQ(dc.GetPixel(2, 0), engine::kRed);
  // A huge rectangle paints the whole surface inside, its ring off-screen; outside reads black.
  dc.Rectangle(-1000, -1000, 5000, 5000);
  EXPECT_EQ(CountColour(engine::kWhite), Surface::kWidth * Surface::kHeight);
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {640, 0}, {0, 480}}) {
    EXPECT_EQ(dc.GetPixel(x, y), 0u) << x << "," << y;
  }
  EXPECT_EQ(engine::kOrange, 0x000080FFu) << "red sits in the low byte";
}

TEST_F(SurfaceTest, TextStandsOnAnOpaqueBoxOfTheBackgroundColour) {
  dc.SetTextColor(engine::kRed);
  dc.SetBkColor(engine::kSilver);
  dc.TextOutA(10, 0, "B:4");
  // The block font inks columns 1-6 and rows 3-12 of each 8 x 16 cell.
  EXPECT_EQ(dc.GetPixel(12, 5), engine::kRed);
  EXPECT_EQ(dc.GetPixel(10, 0), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(33, 15), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(34, 5), 0u) << "the box ends with the text";
  EXPECT_EQ(dc.SetTextColor(engine::kWhite), engine::kRed) << "returns the colour replaced";
  // Clipped at the edges.
  dc.SetBkColor(engine::kBlue);
  dc.TextOutA(630, 470, "clipped text");
  dc.TextOutA(-50, -10, "clipped text");
  EXPECT_EQ(dc.GetPixel(639, 470), engine::kBlue);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kWhite) << "ink of the second character";
  EXPECT_EQ(dc.GetPixel(0, 5), engine::kBlue) << "bottom row of a character cell";
}

// A text drawn again where it stands repaints only what changed. Each row draws its first
// text, does something in between, and draws its second text: its box must hold the
// second text whole, and everything else stay as it was.
TEST(SurfaceText, RedrawingAStandingTextLeavesTheNewTextWholeAndTheRestAsItWas) {
  using Between = std::function<void(Surface&)>;
  const Between nothing = [](Surface&) {};
  struct Row {
    const char* what;
    std::string first;
    Between between;
    std::string second;
  };
  const Row rows[] = {
      {"a shorter text leaves the old tail", "B:10", nothing, "B:9"},
      {"a glyph that inks left of its pen goes", "1j", nothing, "1a"},
      {"the same text over another text", "Game Over", [](Surface& s) { s.TextOutA(25, 98, "xx"); },
       "Game Over"},
      {"the same text, a rectangle elsewhere", "Game Over",
       [](Surface& s) { s.Rectangle(300, 300, 310, 310); }, "Game Over"},
  };
  for (const Row& row : rows) {
    Surface drawn;
    drawn.SetFont(&resources::kGameFont);
    drawn.SetTextColor(engine::kRed);
    drawn.SetBkColor(engine::kSilver);
    drawn.SelectObject(engine::whiteBrush);
    drawn.TextOutA(20, 95, row.first);
    row.between(drawn);
    const Surface before = drawn;
    drawn.TextOutA(20, 95, row.second);
    const auto mask = platform::RenderText(drawn.Font(), row.second);
    int differ = 0;
    for (int y = 85; y < 125; ++y) {
      for (int x = 0; x < 200; ++x) {
        const bool boxed = x >= 20 && x < 20 + mask.width && y >= 95 && y < 95 + mask.height;
        const Colour want = !boxed                    ? before.GetPixel(x, y)
                            : mask.At(x - 20, y - 95) ? drawn.TextColor()
                                                      : drawn.BkColor();
        differ += drawn.GetPixel(x, y) != want;
      }
    }
    EXPECT_EQ(differ, 0) << row.what;
  }
}

using platform::MessageQueue;

// Ticks are coalesced to one pending per timer; ticks and quit come after posted messages; a
// filter takes the oldest match and leaves the rest; a peek without remove leaves it queued.
TEST(MessageQueue, FiltersTakeTheOldestMatchAndTicksAndQuitComeLast) {
  MessageQueue q;
  q.PostTimer(1);
  q.PostTimer(1);
  q.PostTimer(2);
  q.PostQuitMessage(3);
  q.PostMessage(WM_KEYDOWN, VK_F2, 3);
  q.PostMessage(WM_MOUSEMOVE, 0, 100);
  q.PostMessage(WM_RBUTTONDOWN, 1, 2);
  Message m;
  EXPECT_FALSE(q.PeekMessage(m, WM_LBUTTONDOWN, WM_LBUTTONDOWN, true));
  ASSERT_TRUE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  EXPECT_EQ(m.lParam, 100);
  std::vector<std::pair<MessageId, WPARAM>> taken;
  for (int i = 0; i < 8 && q.PeekMessage(m, 0, 0, true); ++i)
    taken.emplace_back(m.message, m.wParam);
  EXPECT_EQ(
      taken,
      (std::vector<std::pair<MessageId, WPARAM>>{
          {WM_KEYDOWN, VK_F2}, {WM_RBUTTONDOWN, 1}, {WM_QUIT, 3}, {WM_TIMER, 1}, {WM_TIMER, 2}}));
  q.PostTimer(1);  // due again once the pending one was taken, as is a move
  q.PostMessage(WM_MOUSEMOVE, 0, 2);
  EXPECT_EQ(q.Size(), 2u);
}

// Each row posts its messages in order (a move's lParam is its x) and lists what comes out.
TEST(MessageQueue, AMouseMoveMergesIntoAWaitingMoveThatNoClickOrKeyFollows) {
  struct Row {
    const char* what;
    std::vector<Message> posted;
    std::vector<Message> taken;
  };
  const Message key{WM_KEYDOWN, VK_F3, 0};
  const Message click{WM_LBUTTONDOWN, 1, 7};
  const Message command{WM_COMMAND, 40001, 0};
  const Row rows[] = {
      {"moves in a row",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 1, 2}, {WM_MOUSEMOVE, 2, 3}},
       {{WM_MOUSEMOVE, 2, 3}}},
      {"a click between",
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}}},
      {"a key between",
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 2}, {WM_MOUSEMOVE, 0, 3}},
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 3}}},
      {"a command is no input",
       {{WM_MOUSEMOVE, 0, 1}, command, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 2}, command}},
      {"a click after",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 0, 2}, click},
       {{WM_MOUSEMOVE, 0, 2}, click}},
  };
  for (const Row& row : rows) {
    MessageQueue q;
    for (const Message& m : row.posted) q.PostMessage(m.message, m.wParam, m.lParam);
    std::vector<Message> taken;
    Message m;
    while (q.PeekMessage(m, 0, 0, true)) taken.push_back(m);
    const auto fields = [](const std::vector<Message>& ms) {
      std::vector<std::tuple<MessageId, WPARAM, LPARAM>> out;
      for (const Message& m : ms) out.emplace_back(m.message, m.wParam, m.lParam);
      return out;
    };
    EXPECT_EQ(fields(taken), fields(row.taken)) << row.what;
  }
}

// The "TIMER" module on the emulated interval timer, with the clock driven by hand.
using platform::ManualClock;
using platform::PcHardware;
using Reports = std::vector<std::string>;

constexpr std::uint64_t kPeriod = 65'536;
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;
const std::string kHead = "\n******** ERROR IN MODULE \"TIMER\" *********\nFUNCTION: ";

class TimerModuleTest : public ::testing::Test {
 protected:
  TimerModuleTest() {
    timers.SetReportSink([this](std::string_view report) { reports.emplace_back(report); });
  }
  ManualClock clock;
  PcHardware pc{clock};
  timing::TimerModule timers{pc};
  Reports reports;
};

// Before init, after a close and with a timer it does not have, a call reports under its own
// name and the reading is the error result.
TEST_F(TimerModuleTest, MisusesAreReportedUnderTheCallsOwnName) {
  const std::string notYet =
      "()\nTiming routines not yet initialized.\n(TM_Init() has not been called)\n\n";
  EXPECT_EQ(timers.TM_ReadTime(), 0xFFFFFFFFu);
  ASSERT_EQ(timers.TM_Init(2), 0);
  timers.TM_StartTimer(2);
  timers.TM_Close();
  timers.TM_Close();
  EXPECT_EQ(reports,
            (Reports{kHead + "TM_ReadTime" + notYet,
                     kHead + "TM_StartTimer()\nApplication specified an invalid timer ID.\n"
                             "Request received for timer 2, but the last valid timer is "
                             "timer 1.\n\n",
                     kHead + "TM_Close" + notYet}));
}

TEST_F(TimerModuleTest, IntervalsAreMeasuredAtTheirTrueLengthByEachTimerAlone) {
  ASSERT_EQ(timers.TM_Init(2), 0);
  // The time is the clock modulo 2^32 on both sides of the 16-bit carry and the 32-bit wrap.
  for (const std::uint64_t boundary : {kPeriod, 0xFFFF * kPeriod, kWrap, 5 * kWrap}) {
    for (std::uint64_t t = boundary - 3; t < boundary + 3; ++t) {
      clock.Set(t);
      EXPECT_EQ(timers.TM_ReadTime(), static_cast<std::uint32_t>(t)) << std::hex << t;
    }
  }
  clock.Set(0x1234'5678'9ABCull);
  EXPECT_EQ(timers.TM_ElapsedTime(1), 0x5678'9ABCu) << "a timer never started counts from 0";
  const std::pair<std::uint64_t, std::uint64_t> intervals[] = {
      {kPeriod - 1, 2},                   // one reload, just
      {kPeriod - 10, 3 * kPeriod + 20},   // several reloads
      {0xFFFF * kPeriod + 100, kPeriod},  // the periods' 16-bit half carries over
      {kWrap - 100, 250},                 // the 32-bit wrap
      {3 * kWrap - 2250, 4500},           // a ball step across a later wrap
      {12345, kWrap - 1},                 // the longest interval that can be told apart
  };
  for (const auto& [start, length] : intervals) {
    clock.Set(start);
    timers.TM_StartTimer(0);
    clock.Advance(length);
    EXPECT_EQ(timers.TM_ElapsedTime(0), length) << "start " << start;
  }
  clock.Set(100);
  timers.TM_StartTimer(0);
  clock.Set(400);
  timers.TM_StartTimer(1);
  timers.TM_StartTimer(2);  // a missing id disturbs none
  clock.Set(1000);
  EXPECT_EQ(timers.TM_ElapsedTime(0), 900u);
  EXPECT_EQ(timers.TM_ElapsedTime(1), 600u);
}

}  // namespace
}  // namespace krelmo
