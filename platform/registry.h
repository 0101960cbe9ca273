// The settings store, with the registry's model: keys holding typed values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krelmo::platform {

// Called on the UI thread. A value that is missing or of another type reads as absent.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // Opens the key, creating it when missing. Returns true when it had to be created.
  virtual bool CreateKey(std::string_view key) = 0;
  virtual bool KeyExists(std::string_view key) const = 0;
  virtual std::optional<std::string> GetString(std::string_view key,
                                               std::string_view name) const = 0;
  virtual std::optional<std::uint32_t> GetDword(std::string_view key,
                                                std::string_view name) const = 0;
  virtual bool SetString(std::string_view key, std::string_view name, std::string_view value) = 0;
  virtual bool SetDword(std::string_view key, std::string_view name, std::uint32_t value) = 0;
};

}  // namespace krelmo::platform
