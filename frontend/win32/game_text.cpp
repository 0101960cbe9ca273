// Windows-1252 to UTF-16 and back through the game's own table; UTF-8 through the system.
#include "frontend/win32/game_text.h"

#include "frontend/win32/win32.h"
#include "platform/cp1252.h"

namespace krelmo::win32 {

std::wstring FromGameText(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  // Every character of the code page lies in the Basic Multilingual Plane: one unit each.
  for (const char32_t c : platform::Cp1252ToUnicodeText(bytes)) text += static_cast<wchar_t>(c);
  return text;
}

std::string ToGameText(std::wstring_view text) {
  std::u32string characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = static_cast<char16_t>(text[i]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
        static_cast<char16_t>(text[i + 1]) >= 0xDC00 &&
        static_cast<char16_t>(text[i + 1]) < 0xE000) {
      characters += 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
    } else {
      characters += unit;
    }
  }
  return platform::UnicodeToCp1252Text(characters);
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

}  // namespace krelmo::win32
