// The game's single-byte text is Western (Windows-1252): its mapping to and from Unicode,
// for the settings file and the name typed into the high-score dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krelmo::platform {

// Every byte has a character: the five bytes the code page leaves free map to the control
// characters of the same number, as Windows maps them, so that every byte round-trips.
char32_t Cp1252ToUnicode(std::uint8_t byte);
// The byte of a character, or nothing when the code page has no such character.
std::optional<std::uint8_t> UnicodeToCp1252(char32_t character);
// Whether a font shows the byte's character: neither a control nor one of the five free bytes.
bool IsCp1252Printable(std::uint8_t byte);

// The characters of the game's bytes, one a byte.
std::u32string Cp1252ToUnicodeText(std::string_view bytes);

// The characters of UTF-8 text; false (and `out` cut short) for bytes that are not UTF-8:
// a stray continuation byte, a sequence cut short, an overlong form or a surrogate.
bool DecodeUtf8(std::string_view bytes, std::u32string& out);
// The game's bytes for `text`: characters the code page lacks become '?', as the system's
// single-byte calls give them.
std::string UnicodeToCp1252Text(std::u32string_view text);
// UTF-8 text in the game's bytes, or nothing when it is not UTF-8.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

}  // namespace krelmo::platform
