// The "TIMER" module: counter 0 of the interval timer runs as a rate generator, and each
// software timer remembers the 32-bit time value at which it was last started.
#include "timing/timer_module.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <limits>
#include <new>

namespace krelmo::timing {
namespace {

using platform::PcHardware;

// A timer record is one 32-bit start time; the allocation-failure report names its size.
constexpr unsigned kRecordSize = sizeof(std::uint32_t);
constexpr std::uint32_t kErrorResult = 0xFFFFFFFF;

// Control bytes for port 0x43.
constexpr std::uint8_t kCounter0RateGenerator = 0x34;  // counter 0, lo/hi, mode 2, binary
constexpr std::uint8_t kCounter0SquareWave = 0x36;     // counter 0, lo/hi, mode 3, binary
constexpr std::uint8_t kCounter0Latch = 0x00;

constexpr const char* tmErrorMessages[] = {
    "General (unspecified) error.",
    "Timing routines not yet initialized.\n(TM_Init() has not been called)",
    "Application specified an invalid timer ID.",
    "Unable to allocate dynamic memory.",
    "Application requested 0 timers.\n(must request 1 or more timers to use this module)",
};
constexpr int kErrorCount = static_cast<int>(std::size(tmErrorMessages));

void WriteToStandardError(std::string_view report) {
  std::fprintf(stderr, "%.*s", static_cast<int>(report.size()), report.data());
}

std::unique_ptr<std::uint32_t[]> AllocateZeroed(std::uint32_t count) {
  // Only a platform with a 32-bit size_t can overflow here; there the allocation simply fails.
  if constexpr (sizeof(std::size_t) <= sizeof(std::uint32_t)) {
    if (count > std::numeric_limits<std::size_t>::max() / kRecordSize) return nullptr;
  }
  return std::unique_ptr<std::uint32_t[]>(new (std::nothrow) std::uint32_t[count]());
}

// Loads counter 0 with a control byte and the reload value 0, which the counter takes as
// 65,536: the standard 18.2 Hz period.
void ProgramCounter0(PcHardware& pc, std::uint8_t control) {
  pc.Outp(PcHardware::kControlPort, control);
  pc.Outp(PcHardware::kCounter0Port, 0x00);
  pc.Outp(PcHardware::kCounter0Port, 0x00);
}

}  // namespace

TimerModule::TimerModule(platform::PcHardware& pc)
    : pc_(pc), report_(WriteToStandardError), allocate_(AllocateZeroed) {}

TimerModule::~TimerModule() = default;

std::int32_t TimerModule::TM_Init(std::uint32_t count) {
  if (!tmNotInitialized) return 0;  // already running: keep the records and the counter as they are

  if (count == 0) {
    TM_ReportError("TM_Init()", TM_ERR_ZERO_TIMERS, nullptr);
    return -1;
  }

  tmStartTimes = allocate_ ? allocate_(count) : AllocateZeroed(count);
  if (!tmStartTimes) {
    char detail[256];
    std::snprintf(detail, sizeof detail, "Failed to allocate %u timers of size %u.\n", count,
                  kRecordSize);
    TM_ReportError("TM_Init()", TM_ERR_NO_MEMORY, detail);
    return -1;
  }

  tmTimerCount = count;
  ProgramCounter0(pc_, kCounter0RateGenerator);
  tmNotInitialized = false;
  return 0;
}

void TimerModule::TM_Close() {
  if (tmNotInitialized) {
    TM_ReportError("TM_Close()", TM_ERR_NOT_INITIALIZED, nullptr);
    return;
  }
  tmStartTimes.reset();
  // The record count stays; only the next successful TM_Init makes it mean anything again.
  tmNotInitialized = true;
  ProgramCounter0(pc_, kCounter0SquareWave);
}

// Whether `id` names a timer of an initialised module; if not, the error is reported for
// `function`.
bool TimerModule::TM_CheckTimer(const char* function, std::uint32_t id) {
  if (tmNotInitialized) {
    TM_ReportError(function, TM_ERR_NOT_INITIALIZED, nullptr);
    return false;
  }
  if (id >= tmTimerCount) {
    char detail[256];
    std::snprintf(detail, sizeof detail,
                  "Request received for timer %u, but the last valid timer is timer %u.\n", id,
                  tmTimerCount - 1);
    TM_ReportError(function, TM_ERR_INVALID_TIMER, detail);
    return false;
  }
  return true;
}

void TimerModule::TM_StartTimer(std::uint32_t id) {
  if (!TM_CheckTimer("TM_StartTimer()", id)) return;
  tmStartTimes[id] = TM_ReadTime();
}

std::uint32_t TimerModule::TM_ElapsedTime(std::uint32_t id) {
  if (!TM_CheckTimer("TM_ElapsedTime()", id)) return kErrorResult;
  // Unsigned subtraction: an interval across a counter reload or the 32-bit wrap comes out right.
  return TM_ReadTime() - tmStartTimes[id];
}

std::uint32_t TimerModule::TM_ReadTime() {
  if (tmNotInitialized) {
    TM_ReportError("TM_ReadTime()", TM_ERR_NOT_INITIALIZED, nullptr);
    return kErrorResult;
  }
  // Latch first, then read the BIOS count: the latch is what fixes the moment both halves
  // describe. Nothing else may touch counter 0 between the latch and the second byte.
  pc_.Outp(PcHardware::kControlPort, kCounter0Latch);
  const std::uint32_t low = pc_.Inp(PcHardware::kCounter0Port);
  const std::uint32_t high = pc_.Inp(PcHardware::kCounter0Port);
  const std::uint32_t count = low | (high << 8);
  const std::uint32_t periods = pc_.BiosTickCount();
  return (periods << 16) | (0xFFFF - count);
}

void TimerModule::TM_ReportError(const char* function, int code, const char* detail) {
  if (code < 0 || code >= kErrorCount) code = TM_ERR_GENERAL;
  char report[1024];
  const int written = std::snprintf(
      report, sizeof report, "%s%s%s\n%s\n%s\n", "\n******** ERROR IN MODULE \"TIMER\" *********\n",
      "FUNCTION: ", function ? function : "<not specified - kill the programmer>",
      tmErrorMessages[code], detail ? detail : "");
  if (written < 0) return;
  const auto length = std::min<std::size_t>(static_cast<std::size_t>(written), sizeof report - 1);
  if (report_) {
    report_(std::string_view(report, length));
  } else {
    WriteToStandardError(std::string_view(report, length));
  }
}

}  // namespace krelmo::timing
