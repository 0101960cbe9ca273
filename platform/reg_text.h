// The registry's contents as the settings store holds them, and their text in the Windows
// ".reg" format, which the registry editor imports and a person can read and edit.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krelmo::platform {

struct RegValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;  // strings as single-byte Windows-1252 text
  bool operator==(const RegValue&) const = default;
};

// Key paths and value names compare without regard to case, as the registry's do.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
bool NoCaseEqual(std::string_view a, std::string_view b);

using RegValues = std::map<std::string, RegValue, NoCaseLess>;
// Full key paths from the hive ("HKEY_LOCAL_MACHINE\SOFTWARE\..."). A key that holds no
// value is kept all the same; the keys above a listed key exist without being listed.
using RegTree = std::map<std::string, RegValues, NoCaseLess>;

// Accepts what the registry editor writes (UTF-16 with its byte-order mark) as well as
// UTF-8 and Windows-1252 text, under either header. Nothing, with the line and the reason
// in `error`, when the text is not a registry file.
std::optional<RegTree> ParseRegText(std::string_view bytes, std::string* error = nullptr);

// UTF-8 with a byte-order mark and CR LF line ends, under the "Version 5.00" header.
// Strings that the quoted form cannot carry are written in hex(1) form.
std::string FormatRegText(const RegTree& tree);

}  // namespace krelmo::platform
