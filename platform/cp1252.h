// The game's single-byte text is Western (Windows-1252): its mapping to and from Unicode,
// for the settings file and the name typed into the high-score dialog.
#pragma once

#include <cstdint>
#include <optional>

namespace krelmo::platform {

// Every byte has a character: the five bytes the code page leaves free map to the control
// characters of the same number, as Windows maps them, so that every byte round-trips.
char32_t Cp1252ToUnicode(std::uint8_t byte);
// The byte of a character, or nothing when the code page has no such character.
std::optional<std::uint8_t> UnicodeToCp1252(char32_t character);

}  // namespace krelmo::platform
