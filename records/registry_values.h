// Reading and writing the records' values the way the game always has: a value of the
// wrong type or size reads as absent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/state.h"
#include "platform/registry.h"

namespace krelmo::records {

// A REG_DWORD of exactly 4 bytes; `fallback` when it is missing or of another type or size.
std::uint32_t ReadDword(platform::RegistryStore& registry, platform::HKEY key,
                        std::string_view name, std::uint32_t fallback);
// A REG_SZ read into 12 bytes: empty when missing or when it does not fit with its
// terminator. A name without a terminator ends after the bytes read; a line break ends it too,
// so that the text forms keep one name a line.
std::string ReadName(platform::RegistryStore& registry, platform::HKEY key, std::string_view name);
platform::LONG WriteDword(platform::RegistryStore& registry, platform::HKEY key,
                          std::string_view name, std::uint32_t value);
// The values of rank `rank` (1 to 5) of a variant's table: "HSName" or "HSScore" and 5v + r,
// v being the variant's number.
std::string ValueName(std::string_view prefix, engine::Variant variant, int rank);
// Written with its terminating zero.
platform::LONG WriteName(platform::RegistryStore& registry, platform::HKEY key,
                         std::string_view name, std::string_view text);

}  // namespace krelmo::records
