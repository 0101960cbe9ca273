// The in-memory settings store of the Qt front end.
#include "frontend/qt/stub_devices.h"

namespace krelmo::qt {

bool InMemoryRegistry::CreateKey(std::string_view key) {
  return keys_.try_emplace(std::string(key)).second;
}

bool InMemoryRegistry::KeyExists(std::string_view key) const {
  return keys_.find(key) != keys_.end();
}

const InMemoryRegistry::Value* InMemoryRegistry::Find(std::string_view key,
                                                      std::string_view name) const {
  const auto k = keys_.find(key);
  if (k == keys_.end()) return nullptr;
  const auto v = k->second.find(name);
  return v == k->second.end() ? nullptr : &v->second;
}

std::optional<std::string> InMemoryRegistry::GetString(std::string_view key,
                                                       std::string_view name) const {
  const Value* value = Find(key, name);
  return value ? value->text : std::nullopt;
}

std::optional<std::uint32_t> InMemoryRegistry::GetDword(std::string_view key,
                                                        std::string_view name) const {
  const Value* value = Find(key, name);
  if (!value || value->text) return std::nullopt;
  return value->number;
}

bool InMemoryRegistry::SetString(std::string_view key, std::string_view name,
                                 std::string_view text) {
  keys_[std::string(key)][std::string(name)] = {std::string(text), 0};
  return true;
}

bool InMemoryRegistry::SetDword(std::string_view key, std::string_view name, std::uint32_t number) {
  keys_[std::string(key)][std::string(name)] = {std::nullopt, number};
  return true;
}

}  // namespace krelmo::qt
