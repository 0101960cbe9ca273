// When the window presents: at most once a display refresh, and inside a step's wait only
// with more of it left than a present costs, on a hand-driven clock.
#include "platform/present_cadence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace krelmo::platform {
namespace {

constexpr std::uint64_t kMs = kPitTicksPerSecond / 1000;
constexpr std::uint64_t kRefresh = PresentCadence::kIntervalTicks;
constexpr std::uint32_t kCost = PresentCadence::kPresentCostTicks;

TEST(PresentCadence, PresentsOnceARefreshAndInAWaitOnlyWithMoreLeftThanAPresentCosts) {
  struct Case {
    std::optional<std::uint64_t> sinceLast;  // none: nothing presented yet
    std::uint32_t ticksLeft;
    bool dueInWait;
    std::uint64_t ticksUntilDue;
  };
  const Case cases[] = {
      {std::nullopt, 20 * static_cast<std::uint32_t>(kMs), true, 0},
      {std::nullopt, kCost, false, 0},  // idle, it would be now
      {0, 20 * static_cast<std::uint32_t>(kMs), false, kRefresh},
      {5 * kMs, kCost + 1, false, kRefresh - 5 * kMs},
      {kRefresh - 1, kCost + 1, false, 1},
      {kRefresh, kCost + 1, true, 0},
      {kRefresh, kCost, false, 0},
      {kRefresh, 0, false, 0},
      {200 * kMs, kCost + 1, true, 0},
  };
  for (const Case& c : cases) {
    ManualClock clock;
    clock.Set(kPitTicksPerSecond);
    PresentCadence cadence(clock);
    if (c.sinceLast) {
      cadence.Presented();
      clock.Advance(*c.sinceLast);
    }
    const auto since = c.sinceLast ? static_cast<long long>(*c.sinceLast) : -1LL;
    EXPECT_EQ(cadence.DueInWait(c.ticksLeft), c.dueInWait)
        << since << " ticks after a present, " << c.ticksLeft << " left";
    EXPECT_EQ(cadence.TicksUntilDue(), c.ticksUntilDue) << since << " ticks after a present";
  }
}

}  // namespace
}  // namespace krelmo::platform
