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

constexpr std::uint32_t kErrorResult = 0xFFFFFFFF;
constexpr std::uint64_t kPeriod = 65'536;
constexpr std::uint64_t kWrap = std::uint64_t{1} << 32;

const std::string kHead = "\n******** ERROR IN MODULE \"TIMER\" *********\nFUNCTION: ";
const std::string kNotInitialized =
    "Timing routines not yet initialized.\n(TM_Init() has not been called)\n\n";

class TimerModuleTest : public testing::Test {
 protected:
  TimerModuleTest() {
    timers.SetReportSink([this](std::string_view report) { reports.emplace_back(report); });
    pc.RecordWritesTo(&log);
  }

  Writes PortWrites() const {
    Writes out;
    for (const PortWrite& w : log) out.emplace_back(w.port, w.value);
    return out;
  }

  ManualClock clock;
  PcHardware pc{clock};
  TimerModule timers{pc};
  std::vector<std::string> reports;
  std::vector<PortWrite> log;
};

using TimerReport = TimerModuleTest;
using TimerLifecycle = TimerModuleTest;
using TimerTime = TimerModuleTest;

TEST_F(TimerReport, ReadTimeBeforeInitNamesItselfAndEndsWithAnEmptyLine) {
  EXPECT_EQ(timers.TM_ReadTime(), kErrorResult);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "\n******** ERROR IN MODULE \"TIMER\" *********\n"
            "FUNCTION: TM_ReadTime()\n"
            "Timing routines not yet initialized.\n(TM_Init() has not been called)\n"
            "\n");
}

TEST_F(TimerReport, EveryCallBeforeInitReportsUnderItsOwnNameAndLeavesTheCounterAlone) {
  timers.TM_StartTimer(0);
  EXPECT_EQ(timers.TM_ElapsedTime(0), kErrorResult);
  timers.TM_Close();
  EXPECT_EQ(reports, (std::vector<std::string>{kHead + "TM_StartTimer()\n" + kNotInitialized,
                                               kHead + "TM_ElapsedTime()\n" + kNotInitialized,
                                               kHead + "TM_Close()\n" + kNotInitialized}));
  EXPECT_TRUE(log.empty());
}

TEST_F(TimerReport, StartingAMissingTimerNamesItAndTheLastValidOne) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  timers.TM_StartTimer(3);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "\n******** ERROR IN MODULE \"TIMER\" *********\n"
            "FUNCTION: TM_StartTimer()\n"
            "Application specified an invalid timer ID.\n"
            "Request received for timer 3, but the last valid timer is timer 0.\n"
            "\n");
}

TEST_F(TimerReport, ElapsedTimeOfAMissingTimerReportsAndReturnsTheErrorValue) {
  ASSERT_EQ(timers.TM_Init(5), 0);
  EXPECT_EQ(timers.TM_ElapsedTime(5), kErrorResult);
  EXPECT_EQ(timers.TM_ElapsedTime(0xFFFFFFFF), kErrorResult);
  const std::string head = kHead + "TM_ElapsedTime()\nApplication specified an invalid timer ID.\n";
  EXPECT_EQ(reports, (std::vector<std::string>{
                         head + "Request received for timer 5, but the last valid timer is timer "
                                "4.\n\n",
                         head + "Request received for timer 4294967295, but the last valid timer "
                                "is timer 4.\n\n"}));
}

TEST_F(TimerReport, AskingForZeroTimersIsRefused) {
  EXPECT_EQ(timers.TM_Init(0), -1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "\n******** ERROR IN MODULE \"TIMER\" *********\n"
            "FUNCTION: TM_Init()\n"
            "Application requested 0 timers.\n(must request 1 or more timers to use this module)\n"
            "\n");
}

TEST_F(TimerReport, FailedAllocationNamesTheCountAndTheRecordSize) {
  std::uint32_t asked = 0;
  timers.SetAllocator([&asked](std::uint32_t count) {
    asked = count;
    return std::unique_ptr<std::uint32_t[]>();
  });
  EXPECT_EQ(timers.TM_Init(3'000'000'000u), -1);
  EXPECT_EQ(asked, 3'000'000'000u);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "\n******** ERROR IN MODULE \"TIMER\" *********\n"
            "FUNCTION: TM_Init()\n"
            "Unable to allocate dynamic memory.\n"
            "Failed to allocate 3000000000 timers of size 4.\n"
            "\n");
}

TEST_F(TimerReport, WithoutASinkTheReportGoesToStandardError) {
  TimerModule plain(pc);
  testing::internal::CaptureStderr();
  plain.TM_Close();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), kHead + "TM_Close()\n" + kNotInitialized);
}

TEST_F(TimerLifecycle, InitSwitchesCounter0ToRateGeneratorAndCloseBackToSquareWave) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  EXPECT_TRUE(timers.Initialized());
  EXPECT_EQ(PortWrites(), (Writes{{0x43, 0x34}, {0x40, 0x00}, {0x40, 0x00}}));
  log.clear();
  timers.TM_Close();
  EXPECT_FALSE(timers.Initialized());
  EXPECT_EQ(PortWrites(), (Writes{{0x43, 0x36}, {0x40, 0x00}, {0x40, 0x00}}));
  EXPECT_TRUE(reports.empty());
}

TEST_F(TimerLifecycle, SecondInitKeepsTheRecordsTheirCountAndTheCounter) {
  int allocations = 0;
  timers.SetAllocator([&allocations](std::uint32_t count) {
    ++allocations;
    return std::make_unique<std::uint32_t[]>(count);
  });
  ASSERT_EQ(timers.TM_Init(2), 0);
  clock.Set(1000);
  timers.TM_StartTimer(1);
  clock.Set(1500);
  log.clear();

  EXPECT_EQ(timers.TM_Init(8), 0);
  EXPECT_EQ(allocations, 1);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(timers.TM_ElapsedTime(1), 500u);
  timers.TM_StartTimer(2);  // still only two timers
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("timer 2, but the last valid timer is timer 1.\n"), std::string::npos);
}

TEST_F(TimerLifecycle, SecondCloseReportsAndDoesNotReprogramTheCounter) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  timers.TM_Close();
  log.clear();
  timers.TM_Close();
  EXPECT_EQ(reports, (std::vector<std::string>{kHead + "TM_Close()\n" + kNotInitialized}));
  EXPECT_TRUE(log.empty());
}

TEST_F(TimerLifecycle, AfterCloseEveryCallReportsUntilTheNextInit) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  timers.TM_Close();
  timers.TM_StartTimer(0);
  EXPECT_EQ(timers.TM_ElapsedTime(0), kErrorResult);
  EXPECT_EQ(timers.TM_ReadTime(), kErrorResult);
  EXPECT_EQ(reports, (std::vector<std::string>{kHead + "TM_StartTimer()\n" + kNotInitialized,
                                               kHead + "TM_ElapsedTime()\n" + kNotInitialized,
                                               kHead + "TM_ReadTime()\n" + kNotInitialized}));
}

TEST_F(TimerLifecycle, InitAfterCloseGivesFreshZeroedRecords) {
  ASSERT_EQ(timers.TM_Init(3), 0);
  clock.Set(777);
  for (std::uint32_t id = 0; id < 3; ++id) timers.TM_StartTimer(id);
  timers.TM_Close();
  log.clear();

  clock.Set(5000);
  ASSERT_EQ(timers.TM_Init(3), 0);
  EXPECT_EQ(PortWrites(), (Writes{{0x43, 0x34}, {0x40, 0x00}, {0x40, 0x00}}));
  for (std::uint32_t id = 0; id < 3; ++id) EXPECT_EQ(timers.TM_ElapsedTime(id), 5000u) << id;
  timers.TM_Close();

  ASSERT_EQ(timers.TM_Init(1), 0);  // a smaller count takes effect after a close
  timers.TM_StartTimer(1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("timer 1, but the last valid timer is timer 0.\n"), std::string::npos);
}

TEST_F(TimerLifecycle, RefusedInitLeavesTheModuleClosedAndTheCounterAlone) {
  EXPECT_EQ(timers.TM_Init(0), -1);
  EXPECT_FALSE(timers.Initialized());
  timers.SetAllocator([](std::uint32_t) { return std::unique_ptr<std::uint32_t[]>(); });
  EXPECT_EQ(timers.TM_Init(4), -1);
  EXPECT_FALSE(timers.Initialized());
  EXPECT_TRUE(log.empty());
  reports.clear();
  EXPECT_EQ(timers.TM_ReadTime(), kErrorResult);
  EXPECT_EQ(reports, (std::vector<std::string>{kHead + "TM_ReadTime()\n" + kNotInitialized}));

  timers.SetAllocator([](std::uint32_t count) { return std::make_unique<std::uint32_t[]>(count); });
  EXPECT_EQ(timers.TM_Init(4), 0);
  EXPECT_TRUE(timers.Initialized());
}

TEST_F(TimerTime, ValueIsTheClockModulo2To32OnBothSidesOfEveryBoundary) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  // Around ordinary reloads, the 16-bit carry, the 32-bit wrap and far beyond it.
  const std::uint64_t boundaries[] = {
      kPeriod, 2 * kPeriod,     0x100 * kPeriod, 0xFFFF * kPeriod,
      kWrap,   kWrap + kPeriod, 5 * kWrap,       0x1234 * kWrap + 0xABCD * kPeriod};
  for (const std::uint64_t boundary : boundaries) {
    clock.Set(boundary - 5);
    std::uint32_t previous = timers.TM_ReadTime();
    for (int step = 0; step < 10; ++step) {
      clock.Advance(1);
      const std::uint32_t now = timers.TM_ReadTime();
      EXPECT_EQ(now, static_cast<std::uint32_t>(clock.Ticks())) << std::hex << clock.Ticks();
      EXPECT_EQ(now - previous, 1u) << std::hex << clock.Ticks();
      previous = now;
    }
  }
  // And through several periods at an odd stride, so every byte of the count is exercised.
  for (std::uint64_t t = 0; t < 3 * kPeriod; t += 251) {
    clock.Set(t);
    EXPECT_EQ(timers.TM_ReadTime(), t) << t;
  }
}

TEST_F(TimerTime, ReadingLatchesCounter0AndWritesNothingElse) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  log.clear();
  timers.TM_ReadTime();
  timers.TM_StartTimer(0);
  timers.TM_ElapsedTime(0);
  EXPECT_EQ(PortWrites(), (Writes{{0x43, 0x00}, {0x43, 0x00}, {0x43, 0x00}}));
}

TEST_F(TimerTime, NeverStartedTimerMeasuresFromTimeZero) {
  ASSERT_EQ(timers.TM_Init(4), 0);
  clock.Set(0x1234'5678'9ABCull);
  EXPECT_EQ(timers.TM_ElapsedTime(3), 0x5678'9ABCu);
  EXPECT_EQ(timers.TM_ElapsedTime(3), timers.TM_ReadTime());
}

TEST_F(TimerTime, IntervalsAcrossReloadsAndTheWrapAreMeasuredAtTheirTrueLength) {
  ASSERT_EQ(timers.TM_Init(1), 0);
  const std::pair<std::uint64_t, std::uint64_t> intervals[] = {
      {kPeriod - 1, 2},                   // one reload, just
      {kPeriod - 10, 3 * kPeriod + 20},   // several reloads
      {0xFFFF * kPeriod + 100, kPeriod},  // the periods' 16-bit half carries over
      {kWrap - 100, 250},                 // the 32-bit wrap
      {3 * kWrap - 2250, 4500},           // a ball step across a later wrap
      {kWrap - kPeriod - 5, 2 * kPeriod + 11},
      {12345, kWrap - 1},  // the longest interval that can be told apart
  };
  for (const auto& [start, length] : intervals) {
    clock.Set(start);
    timers.TM_StartTimer(0);
    clock.Advance(length);
    EXPECT_EQ(timers.TM_ElapsedTime(0), length) << "start " << start;
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(TimerTime, TimersRunIndependentlyAndAMissingIdDisturbsNone) {
  ASSERT_EQ(timers.TM_Init(2), 0);
  clock.Set(100);
  timers.TM_StartTimer(0);
  clock.Set(400);
  timers.TM_StartTimer(1);
  clock.Set(450);
  timers.TM_StartTimer(2);
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

TEST(TimerBusyWait, WaitAcrossAReloadEndsOnlyAfterTheWantedTicks) {
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
