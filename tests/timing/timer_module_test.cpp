// The "TIMER" module on the emulated interval timer: its error reports, its two states and
// the time it measures, with the clock driven by hand.
#include "timing/timer_module.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/pc_hardware.h"

namespace krelmo::timing {
namespace {

using platform::ManualClock;
using platform::PcHardware;
using Reports = std::vector<std::string>;

constexpr std::uint64_t kPeriod = 65'536;
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;
const std::string kHead = "\n******** ERROR IN MODULE \"TIMER\" *********\nFUNCTION: ";

class TimerModuleTest : public testing::Test {
 protected:
  TimerModuleTest() {
    timers.SetReportSink([this](std::string_view report) { reports.emplace_back(report); });
  }
  ManualClock clock;
  PcHardware pc{clock};
  TimerModule timers{pc};
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

// A clock that moves on by itself with every reading, like real time under a busy wait.
class RunningClock final : public platform::Clock {
 public:
  explicit RunningClock(std::uint64_t start) : ticks_(start) {}
  std::uint64_t Ticks() const override { return ticks_ += 37; }

 private:
  mutable std::uint64_t ticks_;
};

TEST(TimerBusyWait, AWaitAcrossAReloadEndsOnlyAfterTheWantedTicks) {
  RunningClock clock(kWrap - 1000);  // the wait crosses a reload and the 32-bit wrap
  PcHardware pc(clock);
  TimerModule timers(pc);
  ASSERT_EQ(timers.TM_Init(1), 0);
  timers.TM_StartTimer(0);
  std::uint32_t elapsed = 0;
  for (int pass = 0; pass < 1000 && elapsed < 4500; ++pass) elapsed = timers.TM_ElapsedTime(0);
  EXPECT_GE(elapsed, 4500u);
  EXPECT_LT(elapsed, 4500u + 37u);
}

}  // namespace
}  // namespace krelmo::timing
