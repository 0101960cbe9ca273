// The "TIMER" module: software timers measured in ticks of the interval timer's counter 0
// (1,193,182 per second), read through the emulated PC ports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/pc_hardware.h"

namespace krelmo::timing {

enum TimerError : int {
  TM_ERR_GENERAL = 0,
  TM_ERR_NOT_INITIALIZED = 1,
  TM_ERR_INVALID_TIMER = 2,
  TM_ERR_NO_MEMORY = 3,
  TM_ERR_ZERO_TIMERS = 4,
};

// Called on the UI thread only.
class TimerModule {
 public:
  // Receives each error report as one piece of text; the default writes it to stderr.
  using ReportSink = std::function<void(std::string_view report)>;
  // Allocates `count` zero-filled records; returns null when it cannot. Tests replace it to
  // make an allocation fail.
  using Allocator = std::function<std::unique_ptr<std::uint32_t[]>(std::uint32_t count)>;

  explicit TimerModule(platform::PcHardware& pc);
  ~TimerModule();

  void SetReportSink(ReportSink sink) { report_ = std::move(sink); }
  void SetAllocator(Allocator allocator) { allocate_ = std::move(allocator); }

  std::int32_t TM_Init(std::uint32_t count);
  void TM_Close();
  void TM_StartTimer(std::uint32_t id);
  std::uint32_t TM_ElapsedTime(std::uint32_t id);
  std::uint32_t TM_ReadTime();

  bool Initialized() const { return !tmNotInitialized; }

 private:
  void TM_ReportError(const char* function, int code, const char* detail);
  bool TM_CheckTimer(const char* function, std::uint32_t id);

  platform::PcHardware& pc_;
  ReportSink report_;
  Allocator allocate_;

  bool tmNotInitialized = true;
  std::unique_ptr<std::uint32_t[]> tmStartTimes;
  std::uint32_t tmTimerCount = 0;
};

}  // namespace krelmo::timing
