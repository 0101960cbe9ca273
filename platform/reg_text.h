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

// Accepts what the registry editors export (UTF-16 little-endian with its byte-order mark,
// Windows' and Wine's) as well as UTF-8 with or without a byte-order mark (what earlier
// versions of the game wrote) and Windows-1252 text, under either header ("Windows Registry
// Editor Version 5.00" or "REGEDIT4"). Nothing, with the line and the reason in `error`, when
// the text is not a registry file.
std::optional<RegTree> ParseRegText(std::string_view bytes, std::string* error = nullptr);

// The file as the registry editor exports it, which Windows' and Wine's `regedit` both import
// as it stands whatever the system's code page: UTF-16 little-endian after a byte-order mark,
// CR LF line ends, the "Version 5.00" header, an empty line before each key and at the end,
// hex data broken into lines of at most 80 characters. Strings that the quoted form cannot
// carry (line breaks, zeros, no terminator) are written in hex(1) form.
std::string FormatRegText(const RegTree& tree);

}  // namespace krelmo::platform
