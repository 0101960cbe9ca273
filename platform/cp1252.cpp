// Windows-1252 to Unicode and back: only 0x80 to 0x9F differ from Latin-1.
#include "platform/cp1252.h"

#include <array>

namespace krelmo::platform {

namespace {
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

char32_t Cp1252ToUnicode(std::uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

std::optional<std::uint8_t> UnicodeToCp1252(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character < 0x100)) {
    return static_cast<std::uint8_t>(character);
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == character) return static_cast<std::uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

bool IsCp1252Printable(std::uint8_t byte) {
  const char32_t c = Cp1252ToUnicode(byte);
  return c >= 0x20 && (c < 0x7F || c >= 0xA0);
}

std::u32string Cp1252ToUnicodeText(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (const char b : bytes) text.push_back(Cp1252ToUnicode(static_cast<std::uint8_t>(b)));
  return text;
}

bool DecodeUtf8(std::string_view bytes, std::u32string& out) {
  out.clear();
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    int extra = 0;
    char32_t c = b;
    if (b >= 0xF0 && b < 0xF5) {
      extra = 3, c = b & 0x07;
    } else if (b >= 0xE0 && b < 0xF0) {
      extra = 2, c = b & 0x0F;
    } else if (b >= 0xC2 && b < 0xE0) {
      extra = 1, c = b & 0x1F;
    } else if (b >= 0x80) {
      return false;
    }
    if (extra > 0 && i + extra >= bytes.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    const bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

std::string UnicodeToCp1252Text(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) out.push_back(static_cast<char>(UnicodeToCp1252(c).value_or('?')));
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
  std::u32string text;
  if (!DecodeUtf8(utf8, text)) return std::nullopt;
  return UnicodeToCp1252Text(text);
}

}  // namespace krelmo::platform
