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
using platform::PortWrite;
using Writes = std::vector<std::pair<int, int>>;
using Reports = std::vector<std::string>;

constexpr std::uint32_t kErrorResult = 0xFFFFFFFF;
constexpr std::uint64_t kPeriod = 65'536;
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;

const std::string kHead = "\n******** ERROR IN MODULE \"TIMER\" *********\nFUNCTION: ";
const std::string kNotInitialized =
    "Timing routines not yet initialized.\n(TM_Init() has not been called)\n\n";

std::string NotInitialized(const std::string& function) {
  return kHead + function + "()\n" + kNotInitialized;
}
std::string InvalidId(const std::string& function, const std::string& ids) {
  return kHead + function +
         "()\nApplication specified an invalid timer ID.\nRequest received for " + ids + ".\n\n";
}

class TimerModuleTest : public testing::Test {
 protected:
  TimerModuleTest() {
    timers.SetReportSink([this](std::string_view report) { reports.emplace_back(report); });
    pc.RecordWritesTo(&log);
  }
  Writes PortWrites() {
    Writes out;
    for (const PortWrite& w : log) out.emplace_back(w.port, w.value);
    log.clear();
    return out;
  }

  ManualClock clock;
  PcHardware pc{clock};
  TimerModule timers{pc};
  Reports reports;
  std::vector<PortWrite> log;
};

TEST_F(TimerModuleTest, BeforeInitAndAfterCloseEveryCallReportsUnderItsOwnName) {
  EXPECT_EQ(timers.TM_ReadTime(), kErrorResult);
  timers.TM_StartTimer(0);
  EXPECT_EQ(timers.TM_ElapsedTime(0), kErrorResult);
  ASSERT_EQ(timers.TM_Init(1), 0);
  timers.TM_Close();
  log.clear();
  timers.TM_Close();
  EXPECT_EQ(reports, (Reports{NotInitialized("TM_ReadTime"), NotInitialized("TM_StartTimer"),
                              NotInitialized("TM_ElapsedTime"), NotInitialized("TM_Close")}));
  EXPECT_TRUE(log.empty()) << "a second close does not reprogram the counter";
  // Without a sink the report goes to the error stream.
  TimerModule plain(pc);
  ::testing::internal::CaptureStderr();
  plain.TM_Close();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), NotInitialized("TM_Close"));
}

TEST_F(TimerModuleTest, ARefusedInitReportsWhyAndLeavesTheModuleClosed) {
  EXPECT_EQ(timers.TM_Init(0), -1);
  timers.SetAllocator([](std::uint32_t) { return std::unique_ptr<std::uint32_t[]>(); });
  EXPECT_EQ(timers.TM_Init(3'000'000'000u), -1);
  EXPECT_FALSE(timers.Initialized());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(reports,
            (Reports{kHead + "TM_Init()\nApplication requested 0 timers.\n(must request 1 or "
                             "more timers to use this module)\n\n",
                     kHead + "TM_Init()\nUnable to allocate dynamic memory.\nFailed to "
                             "allocate 3000000000 timers of size 4.\n\n"}));
}

TEST_F(TimerModuleTest, ASecondInitKeepsTheRecordsAndTheirCountUntilAClose) {
  ASSERT_EQ(timers.TM_Init(2), 0);
  clock.Set(1000);
  timers.TM_StartTimer(1);
  clock.Set(1500);
  PortWrites();
  EXPECT_EQ(timers.TM_Init(8), 0);
  EXPECT_TRUE(PortWrites().empty());
  EXPECT_EQ(timers.TM_ElapsedTime(1), 500u);
  timers.TM_StartTimer(2);
  EXPECT_EQ(reports,
            (Reports{InvalidId("TM_StartTimer", "timer 2, but the last valid timer is timer 1")}));
  timers.TM_Close();
  clock.Set(5000);
  ASSERT_EQ(timers.TM_Init(3), 0);
  EXPECT_EQ(timers.TM_ElapsedTime(2), 5000u);
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
