// Writes the game's icon as a Windows icon file: each size a 32-bit image, the largest one
// compressed as PNG (as Windows takes it from 256 pixels up). Run at build time on the
// building machine, for the Windows program's resources.
// Usage: krelmo-ico OUT.ico SIZE...
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "resources/icon_picture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kPngFrom = 256;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Put32BigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The picture's pixels as blue, green, red and an opaque alpha, the bottom row first, then the
// all-clear AND mask: the icon image of the device-independent bitmap kind.
Bytes BitmapImage(int size, const std::vector<krelmo::Colour>& pixels) {
  Bytes out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size * 2));  // the colours and the mask
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const krelmo::Colour c = pixels[static_cast<std::size_t>(y * size + x)];
      out.push_back(static_cast<std::uint8_t>(c >> 16));
      out.push_back(static_cast<std::uint8_t>(c >> 8));
      out.push_back(static_cast<std::uint8_t>(c));
      out.push_back(0xFF);
    }
  }
  const std::size_t maskRow = static_cast<std::size_t>((size + 31) / 32 * 4);
  out.resize(out.size() + maskRow * static_cast<std::size_t>(size), 0);
  return out;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data) {
  Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  Put32BigEndian(
      out, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

Bytes PngImage(int size, const std::vector<krelmo::Colour>& pixels) {
  Bytes rows;
  for (int y = 0; y < size; ++y) {
    rows.push_back(0);  // no filter
    for (int x = 0; x < size; ++x) {
      const krelmo::Colour c = pixels[static_cast<std::size_t>(y * size + x)];
      rows.insert(rows.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c >> 16), 0xFF});
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  Bytes packed(packedSize);
  compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 9);
  packed.resize(packedSize);
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  Put32BigEndian(header, static_cast<std::uint32_t>(size));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  PngChunk(out, "IHDR", header);
  PngChunk(out, "IDAT", packed);
  PngChunk(out, "IEND", {});
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: krelmo-ico OUT.ico SIZE...\n");
    return 2;
  }
  std::vector<int> sizes;
  std::vector<Bytes> images;
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size > 256 || size % 16 != 0) {
      std::fprintf(stderr, "krelmo-ico: %s is not a multiple of 16 up to 256\n", argv[i]);
      return 2;
    }
    const auto pixels = krelmo::resources::GameIconPixels(size);
    sizes.push_back(size);
    images.push_back(size >= kPngFrom ? PngImage(size, pixels) : BitmapImage(size, pixels));
  }
  Bytes file;
  Put16(file, 0);
  Put16(file, 1);  // an icon
  Put16(file, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<std::uint8_t>(sizes[i] % 256));  // 0 stands for 256
    file.push_back(static_cast<std::uint8_t>(sizes[i] % 256));
    file.push_back(0);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<std::uint32_t>(images[i].size()));
    Put32(file, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) file.insert(file.end(), image.begin(), image.end());
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) {
    std::fprintf(stderr, "krelmo-ico: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
