// Synthesis of the recordings in double precision with our own sine, then 8-bit quantisation.
// Only +, -, *, / and floor are used, so the bytes never depend on the maths library.
#include "tools/wavegen/wave_synth.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace krelmo::wavegen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// sin(2 pi turns), to within 4e-6: a Taylor series on the first quarter of the cycle.
double Sine(double turns) {
  double u = turns - std::floor(turns);  // [0, 1)
  double sign = 1.0;
  if (u >= 0.5) {
    u -= 0.5;
    sign = -1.0;
  }
  if (u > 0.25) u = 0.5 - u;
  const double x = 2.0 * kPi * u;
  const double x2 = x * x;
  const double series =
      x *
      (1.0 -
       x2 / 6.0 * (1.0 - x2 / 20.0 * (1.0 - x2 / 42.0 * (1.0 - x2 / 72.0 * (1.0 - x2 / 110.0)))));
  return sign * series;
}

// Per-sample factor of an exponential decay with time constant `seconds` (1 - 1/n, close
// enough to e^(-1/n) for the lengths used here).
double DecayFactor(double seconds) {
  return 1.0 - 1.0 / (seconds * kSampleRate);
}

// A rising half cosine: 0 at the start, 1 after `length` samples.
double Rise(std::size_t n, std::size_t length) {
  if (n >= length) return 1.0;
  return 0.5 - 0.5 * Sine(0.25 + 0.5 * static_cast<double>(n) / static_cast<double>(length));
}

using Buffer = std::vector<double>;

struct Partial {
  double ratio;      // of the note's frequency
  double amplitude;  // relative
  double decay;      // time constant in seconds
};

// A struck note: a soft attack of `attackMs`, then each partial dying away on its own.
void AddNote(Buffer& out, double startSeconds, double hz, double gain, double attackMs,
             std::initializer_list<Partial> partials) {
  const auto start = static_cast<std::size_t>(startSeconds * kSampleRate);
  const auto attack = static_cast<std::size_t>(attackMs * kSampleRate / 1000.0);
  for (const Partial& p : partials) {
    if (hz * p.ratio >= kSampleRate / 2.0) continue;
    const double step = hz * p.ratio / kSampleRate;
    const double factor = DecayFactor(p.decay);
    double envelope = gain * p.amplitude;
    for (std::size_t n = 0; start + n < out.size(); ++n) {
      out[start + n] += envelope * Rise(n, attack) * Sine(step * static_cast<double>(n));
      envelope *= factor;
    }
  }
}

// A brick's blip: a bright pluck that falls by a few cents as it fades, like a struck tile.
void Blip(Buffer& out, double hz) {
  double phase = 0.0;
  double envelope = 1.0;
  const double decay = DecayFactor(0.022);
  const auto attack = static_cast<std::size_t>(0.0015 * kSampleRate);
  for (std::size_t n = 0; n < out.size(); ++n) {
    const double glide = 1.0 + 0.03 * envelope;  // starts 3 % sharp, settles on the note
    phase += hz * glide / kSampleRate;
    const double voice = Sine(phase) + 0.28 * Sine(2.0 * phase) + 0.08 * Sine(3.0 * phase);
    out[n] = envelope * Rise(n, attack) * voice;
    envelope *= decay;
  }
}

// The miss: a tone sliding down two octaves with a slow vibrato, fading as it falls.
void FallingTone(Buffer& out) {
  const double seconds = static_cast<double>(out.size()) / kSampleRate;
  // 587 Hz down to 147 Hz, evenly in pitch: a constant factor per sample whose product over
  // the recording is a quarter ((1 - ln 4 / n)^n is e^-ln 4 to within 0.01 %).
  constexpr double kLn4 = 1.3862943611198906;
  const double fall = 1.0 - kLn4 / static_cast<double>(out.size());
  double glide = 587.0;
  double phase = 0.0;
  for (std::size_t n = 0; n < out.size(); ++n) {
    const double t = static_cast<double>(n) / kSampleRate;
    const double along = t / seconds;
    double hz = glide;
    glide *= fall;
    hz *= 1.0 + 0.012 * Sine(5.5 * t);
    phase += hz / kSampleRate;
    const double voice = Sine(phase) + 0.22 * Sine(2.0 * phase) + 0.12 * Sine(3.0 * phase);
    const double level = 1.0 - 0.45 * along;
    out[n] = level * Rise(n, static_cast<std::size_t>(0.012 * kSampleRate)) * voice;
  }
}

constexpr std::initializer_list<Partial> kBrass = {
    {1.0, 1.0, 0.30}, {2.0, 0.45, 0.18}, {3.0, 0.22, 0.10}, {4.0, 0.10, 0.06}};
constexpr std::initializer_list<Partial> kBell = {
    {1.0, 1.0, 0.14}, {2.0, 0.30, 0.06}, {3.0, 0.12, 0.03}, {4.16, 0.06, 0.02}};
constexpr std::initializer_list<Partial> kKnock = {
    {1.0, 1.0, 0.011}, {2.37, 0.45, 0.006}, {3.81, 0.18, 0.004}};

// Note frequencies (equal temperament, A = 440 Hz).
constexpr double kG4 = 392.00, kC5 = 523.25, kE5 = 659.26, kG5 = 783.99, kA5 = 880.00,
                 kC6 = 1046.50, kD6 = 1174.66, kE6 = 1318.51, kG6 = 1567.98;

void Compose(int waveId, Buffer& out) {
  switch (waveId) {
    case 123:  // start-up: a two-note chime, rising a fifth
      AddNote(out, 0.000, kC6, 1.0, 2.0, kBell);
      AddNote(out, 0.038, kG6, 0.8, 2.0, kBell);
      break;
    // The brick rows, top to bottom, on a falling pentatonic scale.
    case 129:
      Blip(out, kG6);
      break;
    case 124:
      Blip(out, kE6);
      break;
    case 125:
      Blip(out, kD6);
      break;
    case 131:
      Blip(out, kC6);
      break;
    case 127:
      Blip(out, kA5);
      break;
    case 128:
      Blip(out, kG5);
      break;
    case 130:  // walls and paddle: a short wooden knock
      AddNote(out, 0.0, 640.0, 1.0, 0.7, kKnock);
      break;
    case 132:
      FallingTone(out);
      break;
    case 133:  // a cleared wall: a rising arpeggio into a held chord
      AddNote(out, 0.000, kC5, 0.7, 4.0, kBrass);
      AddNote(out, 0.080, kE5, 0.7, 4.0, kBrass);
      AddNote(out, 0.160, kG5, 0.7, 4.0, kBrass);
      AddNote(out, 0.240, kC6, 0.8, 6.0, kBrass);
      AddNote(out, 0.240, kG5, 0.4, 6.0, kBrass);
      AddNote(out, 0.240, kE5, 0.4, 6.0, kBrass);
      break;
    case 135:  // an extra ball: quick bells up and back, ending high
      AddNote(out, 0.000, kG5, 0.8, 2.0, kBell);
      AddNote(out, 0.060, kC6, 0.8, 2.0, kBell);
      AddNote(out, 0.120, kE6, 0.8, 2.0, kBell);
      AddNote(out, 0.180, kC6, 0.6, 2.0, kBell);
      AddNote(out, 0.240, kG6, 0.9, 2.0, kBell);
      AddNote(out, 0.240, kG4, 0.4, 2.0, kBell);
      break;
    default:
      break;
  }
}

// How loud each recording peaks, of full scale: cues heard often sit lower.
double PeakOf(int waveId) {
  switch (waveId) {
    case 130:
      return 0.55;
    case 132:  // long and sustained: it sounds louder than its peak
      return 0.50;
    case 133:
    case 135:
      return 0.70;
    case 123:
      return 0.75;
    default:
      return 0.60;  // bricks
  }
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}
// An INFO text, NUL-terminated and padded with NULs to `size` bytes (even).
void PutInfo(std::vector<std::uint8_t>& out, const char* tag, const std::string& text,
             std::size_t size) {
  PutTag(out, tag);
  PutU32(out, static_cast<std::uint32_t>(size));
  std::string padded = text.substr(0, size - 1);
  padded.resize(size, '\0');
  out.insert(out.end(), padded.begin(), padded.end());
}

const RecordingInfo* Find(int waveId) {
  for (const auto& r : Recordings()) {
    if (r.waveId == waveId) return &r;
  }
  return nullptr;
}

}  // namespace

const std::array<RecordingInfo, 11>& Recordings() {
  static const std::array<RecordingInfo, 11> table = {{
      {123, 2'286, 2'412, "Krelmo 99: start-up chime"},
      {124, 1'271, 1'398, "Krelmo 99: blue brick"},
      {125, 1'344, 1'470, "Krelmo 99: green brick"},
      {127, 1'503, 1'630, "Krelmo 99: orange brick"},
      {128, 1'590, 1'716, "Krelmo 99: red brick"},
      {129, 1'202, 1'328, "Krelmo 99: magenta brick"},
      {130, 1'013, 1'140, "Krelmo 99: wall or paddle"},
      {131, 1'421, 1'548, "Krelmo 99: yellow brick"},
      {132, 25'203, 25'330, "Krelmo 99: ball missed"},
      {133, 11'708, 11'834, "Krelmo 99: wall cleared"},
      {135, 10'457, 10'584, "Krelmo 99: extra ball"},
  }};
  return table;
}

std::vector<std::uint8_t> Synthesise(int waveId) {
  const RecordingInfo* info = Find(waveId);
  if (!info) return {};
  Buffer sound(info->samples, 0.0);
  Compose(waveId, sound);

  // No DC: take away the mean, then fade both ends to silence (a click-free start and end).
  double mean = 0.0;
  for (double v : sound) mean += v;
  mean /= static_cast<double>(sound.size());
  const std::size_t fadeIn = kSampleRate / 1000;  // 1 ms
  const std::size_t fadeOut = std::min<std::size_t>(sound.size() / 4, kSampleRate / 25);
  double peak = 0.0;
  for (std::size_t n = 0; n < sound.size(); ++n) {
    sound[n] = (sound[n] - mean) * Rise(n, fadeIn) * Rise(sound.size() - 1 - n, fadeOut);
    peak = std::max(peak, std::fabs(sound[n]));
  }
  const double scale = peak > 0.0 ? PeakOf(waveId) * 127.0 / peak : 0.0;
  std::vector<std::uint8_t> samples(sound.size());
  for (std::size_t n = 0; n < sound.size(); ++n) {
    const double level = std::floor(sound[n] * scale + 0.5);
    samples[n] = static_cast<std::uint8_t>(128.0 + std::clamp(level, -127.0, 127.0));
  }
  return samples;
}

std::vector<std::uint8_t> WaveFile(int waveId) {
  const RecordingInfo* info = Find(waveId);
  if (!info) return {};
  const std::vector<std::uint8_t> samples = Synthesise(waveId);
  const auto dataBytes = static_cast<std::uint32_t>(samples.size());

  std::vector<std::uint8_t> file;
  file.reserve(info->fileBytes);
  PutTag(file, "RIFF");
  PutU32(file, 0);  // filled in below
  PutTag(file, "WAVE");

  PutTag(file, "fmt ");
  PutU32(file, 16);
  PutU16(file, 1);  // PCM
  PutU16(file, 1);  // mono
  PutU32(file, kSampleRate);
  PutU32(file, kSampleRate);  // bytes per second
  PutU16(file, 1);            // block align
  PutU16(file, 8);            // bits per sample

  PutTag(file, "data");
  PutU32(file, dataBytes);
  file.insert(file.end(), samples.begin(), samples.end());
  if (dataBytes % 2 == 1) file.push_back(0x80);  // chunks start on even offsets

  // Our own tags: the cue's name and the generator that made it.
  constexpr std::size_t kNameBytes = 30, kSoftwareBytes = 24;
  PutTag(file, "LIST");
  PutU32(file, 4 + 8 + kNameBytes + 8 + kSoftwareBytes);
  PutTag(file, "INFO");
  PutInfo(file, "INAM", info->title, kNameBytes);
  PutInfo(file, "ISFT", "krelmo-wavegen 1", kSoftwareBytes);

  std::vector<std::uint8_t> riffBytes;
  PutU32(riffBytes, static_cast<std::uint32_t>(file.size() - 8));
  std::copy(riffBytes.begin(), riffBytes.end(), file.begin() + 4);
  return file;
}

}  // namespace krelmo::wavegen
