// The "TIMER" module on the emulated interval timer, with the clock driven by hand: the time
// it measures, timer by timer, and its reports of misuse.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "timing/timer_module.h"

namespace krelmo::timing {
namespace {

constexpr std::uint64_t kPeriod = 65'536;  // ticks of counter 0 from one reload to the next
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;
constexpr std::uint32_t kErrorReading = 0xFFFFFFFF;

class TimerModuleTest : public ::testing::Test {
 protected:
  TimerModuleTest() {
    timers.SetReportSink([this](std::string_view report) { reports.emplace_back(report); });
  }
  platform::ManualClock clock;
  platform::PcHardware pc{clock};
  TimerModule timers{pc};
  std::vector<std::string> reports;
};

// Before init, after a close and with a timer it does not have, a call reports under its own
// name and the reading is the error result.
TEST_F(TimerModuleTest, MisusesAreReportedUnderTheCallsOwnName) {
  const std::string head = "\n******** ERROR IN MODULE \"TIMER\" *********\nFUNCTION: ";
  const std::string notYet =
      "()\nTiming routines not yet initialized.\n(TM_Init() has not been called)\n\n";
  EXPECT_EQ(timers.TM_ReadTime(), kErrorReading);
  ASSERT_EQ(timers.TM_Init(2), 0);
  timers.TM_StartTimer(2);
  timers.TM_Close();
  timers.TM_Close();
  EXPECT_EQ(reports, (std::vector<std::string>{
                         head + "TM_ReadTime" + notYet,
                         head + "TM_StartTimer()\nApplication specified an invalid timer ID.\n"
                                "Request received for timer 2, but the last valid timer is "
                                "timer 1.\n\n",
                         head + "TM_Close" + notYet}));
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
}  // namespace krelmo::timing
