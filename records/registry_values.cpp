// The records' typed reads and writes of the registry.
#include "records/registry_values.h"

#include <algorithm>
#include <array>

namespace krelmo::records {

using namespace platform;

namespace {
constexpr std::uint32_t kNameBytes = 12;
}

std::uint32_t ReadDword(RegistryStore& registry, HKEY key, std::string_view name,
                        std::uint32_t fallback) {
  std::array<std::uint8_t, 4> bytes{};
  std::uint32_t type = 0, size = static_cast<std::uint32_t>(bytes.size());
  if (registry.RegQueryValueExA(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != bytes.size()) {
    return fallback;
  }
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string ReadName(RegistryStore& registry, HKEY key, std::string_view name) {
  std::array<std::uint8_t, kNameBytes> bytes{};
  std::uint32_t type = 0, size = kNameBytes;
  if (registry.RegQueryValueExA(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  const auto end = std::find_if(bytes.begin(), bytes.begin() + size,
                                [](std::uint8_t b) { return b == 0 || b == '\n' || b == '\r'; });
  // Twelve characters and no room left for the terminator: it does not fit.
  if (end == bytes.begin() + kNameBytes) return {};
  return std::string(bytes.begin(), end);
}

LONG WriteDword(RegistryStore& registry, HKEY key, std::string_view name, std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes{
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return registry.RegSetValueExA(key, name, 0, REG_DWORD, bytes.data(), 4);
}

LONG WriteName(RegistryStore& registry, HKEY key, std::string_view name, std::string_view text) {
  std::string data(text);
  data.push_back('\0');
  return registry.RegSetValueExA(key, name, 0, REG_SZ,
                                 reinterpret_cast<const std::uint8_t*>(data.data()),
                                 static_cast<std::uint32_t>(data.size()));
}

}  // namespace krelmo::records
