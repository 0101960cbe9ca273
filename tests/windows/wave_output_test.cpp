// The audio device's buffer hand-over, with a device of the test's own: the mixer's samples
// reach the device in the order rendered, a buffer is never written while the device still
// plays it, and closing takes every buffer back.
#include "frontend/win32/wave_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/clock.h"
#include "resources/waves.h"

namespace {

using namespace krelmo;
using Samples = std::vector<std::int16_t>;

constexpr int kChime = 123;

// Plays only when told: Finish(n) gives the n oldest buffers back, done, as waveOut does.
class FakeDevice final : public win32::WaveDevice {
 public:
  struct Log {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<WAVEHDR*> playing;
    std::vector<Samples> written;  // what each write handed over, in order
    int prepared = 0, unprepared = 0, resets = 0, closes = 0;
    bool openFails = false;
    HANDLE done = nullptr;
    std::vector<std::string> faults;
  };
  explicit FakeDevice(Log& log) : log_(log) {}

  bool Open(const WAVEFORMATEX& format, HANDLE done, std::string& error) override {
    if (log_.openFails) {
      error = "waveOutOpen: no device";
      return false;
    }
    if (format.nSamplesPerSec != 22050 || format.wBitsPerSample != 16 || format.nChannels != 1) {
      log_.faults.push_back("format");
    }
    log_.done = done;
    return true;
  }
  void Prepare(WAVEHDR& buffer) override {
    buffer.dwFlags |= WHDR_PREPARED;
    ++log_.prepared;
  }
  void Write(WAVEHDR& buffer) override {
    std::lock_guard lock(log_.mutex);
    if (!(buffer.dwFlags & WHDR_PREPARED)) log_.faults.push_back("write of an unprepared buffer");
    for (const WAVEHDR* playing : log_.playing) {
      if (playing == &buffer) log_.faults.push_back("write of a buffer still playing");
    }
    buffer.dwFlags &= ~WHDR_DONE;
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.lpData);
    log_.written.emplace_back(samples, samples + buffer.dwBufferLength / 2);
    log_.playing.push_back(&buffer);
    log_.changed.notify_all();
  }
  void Reset() override {
    std::lock_guard lock(log_.mutex);
    ++log_.resets;
    while (!log_.playing.empty()) GiveBack();
  }
  void Unprepare(WAVEHDR& buffer) override {
    if (buffer.dwFlags & WHDR_INQUEUE) log_.faults.push_back("unprepare of a queued buffer");
    buffer.dwFlags &= ~WHDR_PREPARED;
    ++log_.unprepared;
  }
  void Close() override { ++log_.closes; }

  // Called with the mutex held. The device must still hold what was written to it.
  void GiveBack() {
    WAVEHDR* buffer = log_.playing.front();
    log_.playing.pop_front();
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer->lpData);
    const std::size_t index = log_.written.size() - log_.playing.size() - 1;
    if (!std::equal(log_.written[index].begin(), log_.written[index].end(), samples)) {
      log_.faults.push_back("a buffer changed while it played");
    }
    std::atomic_ref<DWORD>(buffer->dwFlags).fetch_or(WHDR_DONE, std::memory_order_release);
    ::SetEvent(log_.done);
  }

 private:
  Log& log_;
};

void Finish(FakeDevice::Log& log, FakeDevice& device, int buffers) {
  std::lock_guard lock(log.mutex);
  for (int i = 0; i < buffers; ++i) device.GiveBack();
}

// Waits (without a clock's say: only for the writes themselves) until `count` were made.
bool WaitForWrites(FakeDevice::Log& log, std::size_t count) {
  std::unique_lock lock(log.mutex);
  return log.changed.wait_for(lock, std::chrono::seconds(20),
                              [&] { return log.written.size() >= count; });
}

// What the mixer renders, buffer by buffer, for the same sounds on the same clock.
std::vector<Samples> Expected(int buffers) {
  platform::ManualClock clock;
  platform::AudioMixer mixer{resources::WaveResource, clock};
  mixer.SetOutputOpen(true);
  mixer.PlaySound(kChime, 0);
  std::vector<Samples> out(buffers, Samples(platform::AudioMixer::kBufferSamples));
  for (Samples& buffer : out) mixer.Pull(buffer);
  return out;
}

TEST(WaveOutput, HandsTheMixersSamplesOverInOrderAndNeverRefillsABufferStillPlaying) {
  platform::ManualClock clock;
  platform::AudioMixer mixer{resources::WaveResource, clock};
  mixer.SetOutputOpen(true);
  ASSERT_TRUE(mixer.PlaySound(kChime, 0));
  FakeDevice::Log log;
  auto owned = std::make_unique<FakeDevice>(log);
  FakeDevice& device = *owned;
  win32::WaveOutput output(mixer, std::move(owned));
  std::string error;
  ASSERT_TRUE(output.Open(error)) << error;
  EXPECT_EQ(log.prepared, win32::WaveOutput::kBuffers);

  // Every buffer at once, then one more for each given back, and no more.
  ASSERT_TRUE(WaitForWrites(log, win32::WaveOutput::kBuffers));
  Finish(log, device, 1);
  ASSERT_TRUE(WaitForWrites(log, 4));
  Finish(log, device, 2);
  ASSERT_TRUE(WaitForWrites(log, 6));
  Finish(log, device, 1);
  ASSERT_TRUE(WaitForWrites(log, 7));
  output.Close();

  const std::vector<Samples> expected = Expected(7);
  std::lock_guard lock(log.mutex);
  EXPECT_TRUE(log.faults.empty()) << log.faults.front();
  ASSERT_EQ(log.written.size(), 7u) << "a write without a buffer given back";
  EXPECT_NE(expected[0], Samples(expected[0].size())) << "the chime renders something";
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(log.written[i], expected[i]) << i;
  EXPECT_EQ(log.resets, 1);
  EXPECT_EQ(log.unprepared, win32::WaveOutput::kBuffers);
  EXPECT_EQ(log.closes, 1);
  EXPECT_FALSE(output.IsOpen());
}

TEST(WaveOutput, ADeviceThatDoesNotOpenLeavesItClosedWithTheReason) {
  platform::ManualClock clock;
  platform::AudioMixer mixer{resources::WaveResource, clock};
  FakeDevice::Log log;
  log.openFails = true;
  win32::WaveOutput output(mixer, std::make_unique<FakeDevice>(log));
  std::string error;
  EXPECT_FALSE(output.Open(error));
  EXPECT_EQ(error, "waveOutOpen: no device");
  EXPECT_FALSE(output.IsOpen());
  output.Close();  // nothing to close
  EXPECT_EQ(log.prepared, 0);
  EXPECT_EQ(log.closes, 0);
  // It opens later, when a device is there.
  log.openFails = false;
  EXPECT_TRUE(output.Open(error));
  EXPECT_TRUE(WaitForWrites(log, win32::WaveOutput::kBuffers));
  output.Close();
  EXPECT_EQ(log.closes, 1);
}

}  // namespace
