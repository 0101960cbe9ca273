// waveOut and the thread that keeps it fed.
#include "frontend/win32/wave_output.h"

#include <span>

namespace krelmo::win32 {

namespace {

class SystemDevice final : public WaveDevice {
 public:
  bool Open(const WAVEFORMATEX& format, HANDLE done, std::string& error) override {
    const MMRESULT result = ::waveOutOpen(&device_, WAVE_MAPPER, &format,
                                          reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
    if (result == MMSYSERR_NOERROR) return true;
    wchar_t text[MAXERRORLENGTH] = {};
    ::waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
    char narrow[MAXERRORLENGTH * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    error = std::string("waveOutOpen: ") + narrow;
    return false;
  }
  void Prepare(WAVEHDR& buffer) override {
    ::waveOutPrepareHeader(device_, &buffer, sizeof buffer);
  }
  void Write(WAVEHDR& buffer) override { ::waveOutWrite(device_, &buffer, sizeof buffer); }
  void Reset() override { ::waveOutReset(device_); }
  void Unprepare(WAVEHDR& buffer) override {
    ::waveOutUnprepareHeader(device_, &buffer, sizeof buffer);
  }
  void Close() override { ::waveOutClose(device_); }

 private:
  HWAVEOUT device_ = nullptr;
};

// The device writes WHDR_DONE from its own thread.
bool DoneWith(WAVEHDR& header) {
  return (std::atomic_ref<DWORD>(header.dwFlags).load(std::memory_order_acquire) & WHDR_DONE) != 0;
}

}  // namespace

std::unique_ptr<WaveDevice> SystemWaveDevice() {
  return std::make_unique<SystemDevice>();
}

WaveOutput::WaveOutput(platform::AudioMixer& mixer, std::unique_ptr<WaveDevice> device)
    : mixer_(mixer), device_(std::move(device)) {}

WaveOutput::~WaveOutput() {
  Close();
}

bool WaveOutput::Open(std::string& error) {
  if (open_) return true;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = platform::AudioMixer::kSampleRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  done_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!done_ || !device_->Open(format, done_, error)) {
    if (done_) ::CloseHandle(done_);
    done_ = nullptr;
    return false;
  }
  for (Buffer& buffer : buffers_) {
    buffer.header = {};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = sizeof buffer.samples;
    buffer.queued = false;
    device_->Prepare(buffer.header);
  }
  stopping_ = false;
  open_ = true;
  feeder_ = std::thread([this] { Feed(); });
  return true;
}

void WaveOutput::Feed() {
  std::size_t next = 0;
  while (!stopping_.load(std::memory_order_acquire)) {
    // Every buffer the device has given back, the oldest first; the next one still playing
    // holds the rest back, as the device gives them back in the order they were written.
    for (int handed = 0; handed < kBuffers; ++handed) {
      Buffer& buffer = buffers_[next];
      if (buffer.queued && !DoneWith(buffer.header)) break;
      mixer_.Pull(std::span<std::int16_t>(buffer.samples));
      buffer.queued = true;
      device_->Write(buffer.header);
      next = (next + 1) % kBuffers;
    }
    ::WaitForSingleObject(done_, INFINITE);
  }
}

void WaveOutput::Close() {
  if (!open_) return;
  stopping_.store(true, std::memory_order_release);
  ::SetEvent(done_);
  feeder_.join();
  device_->Reset();
  for (Buffer& buffer : buffers_) device_->Unprepare(buffer.header);
  device_->Close();
  ::CloseHandle(done_);
  done_ = nullptr;
  open_ = false;
}

}  // namespace krelmo::win32
