// PNG output: the scanlines go through zlib when the build has it, or into stored (not
// compressed) deflate blocks otherwise; either way any PNG reader takes the file.
#include "tools/sim/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#if KRELMO_SIM_HAVE_ZLIB
#include <zlib.h>
#endif

namespace krelmo::sim {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const auto kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, const char type[4], const Bytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out.data() + typeAt, data.size() + 4));
}

#if !KRELMO_SIM_HAVE_ZLIB
// A zlib stream of stored blocks, at most 65,535 bytes each.
Bytes Deflate(const Bytes& raw) {
  Bytes out{0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + size == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(size & 0xFF));
    out.push_back(static_cast<std::uint8_t>(size >> 8));
    out.push_back(static_cast<std::uint8_t>(~size & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~size >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}
#else
Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
    return {};
  }
  out.resize(size);
  return out;
}
#endif

}  // namespace

bool WritePng(const std::string& path, const std::uint32_t* pixels, int stride, int width,
              int height) {
  if (width <= 0 || height <= 0 || stride < width) return false;
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      raw.push_back(static_cast<std::uint8_t>(row[x] & 0xFF));
      raw.push_back(static_cast<std::uint8_t>((row[x] >> 8) & 0xFF));
      raw.push_back(static_cast<std::uint8_t>((row[x] >> 16) & 0xFF));
    }
  }
  const Bytes compressed = Deflate(raw);
  if (compressed.empty()) return false;

  Bytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter, no interlace
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", compressed);
  PutChunk(file, "IEND", {});

  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"),
                                                            &std::fclose);
  if (!out) return false;
  if (std::fwrite(file.data(), 1, file.size(), out.get()) != file.size()) return false;
  return std::fflush(out.get()) == 0;
}

}  // namespace krelmo::sim
