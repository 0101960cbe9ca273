// The registry's calls of the game, made on the system's registry by their wide forms.
#include "frontend/win32/system_registry.h"

#include <algorithm>
#include <array>
#include <vector>

#include "frontend/win32/game_text.h"

namespace krelmo::win32 {

namespace {

using platform::LONG;

// The game's handle for the root, and the numbers it uses, which are the system's.
constexpr platform::HKEY kGameRoot = platform::HKEY_LOCAL_MACHINE;
constexpr DWORD kString = platform::REG_SZ;
const HKEY kMachineHive = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002));

std::string Joined(const std::string& path, std::string_view subKey) {
  return subKey.empty() ? path : path + "\\" + std::string(subKey);
}

}  // namespace

std::string SystemReason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 && text ? std::wstring(text, length) : std::wstring();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                              message.back() == L' ' || message.back() == L'.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(error) : ToGameText(message);
}

SystemRegistry::SystemRegistry(HKEY root, std::string rootName)
    : root_(root), rootName_(std::move(rootName)) {}

SystemRegistry::~SystemRegistry() {
  for (const auto& [id, handle] : handles_) ::RegCloseKey(handle.key);
}

HKEY SystemRegistry::Resolve(platform::HKEY parent, std::string& path) const {
  if (parent == kGameRoot) {
    path = rootName_;
    return root_;
  }
  const auto it = handles_.find(parent);
  if (it == handles_.end()) return nullptr;
  path = it->second.path;
  return it->second.key;
}

platform::HKEY SystemRegistry::NewHandle(HKEY key, std::string path) {
  const platform::HKEY id = nextHandle_;
  nextHandle_ += 4;
  handles_[id] = {key, std::move(path)};
  return id;
}

LONG SystemRegistry::Refused(Handle* through, const std::string& path, ::LONG error) {
  if (through && through->failure == 0) through->failure = error;
  writeError_ = path + ": " + SystemReason(static_cast<DWORD>(error));
  return error;
}

LONG SystemRegistry::RegOpenKeyExA(platform::HKEY parent, std::string_view subKey, std::uint32_t,
                                   std::uint32_t access, platform::HKEY* result) {
  std::string path;
  const HKEY from = Resolve(parent, path);
  if (!from) return platform::ERROR_INVALID_HANDLE;
  const std::wstring name = FromGameText(subKey);
  HKEY key = nullptr;
  ::LONG error = ::RegOpenKeyExW(from, name.c_str(), 0, access, &key);
  // A key the user may only read still gives its settings; its writes are refused, and said so.
  if (error == platform::ERROR_ACCESS_DENIED) {
    error = ::RegOpenKeyExW(from, name.c_str(), 0, KEY_READ, &key);
  }
  if (error != platform::ERROR_SUCCESS) return error;
  *result = NewHandle(key, Joined(path, subKey));
  return platform::ERROR_SUCCESS;
}

LONG SystemRegistry::RegCreateKeyExA(platform::HKEY parent, std::string_view subKey, std::uint32_t,
                                     std::string_view, std::uint32_t options, std::uint32_t access,
                                     const void*, platform::HKEY* result,
                                     std::uint32_t* disposition) {
  std::string path;
  const HKEY from = Resolve(parent, path);
  if (!from) return platform::ERROR_INVALID_HANDLE;
  HKEY key = nullptr;
  DWORD created = 0;
  const ::LONG error = ::RegCreateKeyExW(from, FromGameText(subKey).c_str(), 0, nullptr, options,
                                         access, nullptr, &key, &created);
  const auto through = handles_.find(parent);
  if (error != platform::ERROR_SUCCESS) {
    return Refused(through == handles_.end() ? nullptr : &through->second, Joined(path, subKey),
                   error);
  }
  if (disposition) *disposition = created;
  *result = NewHandle(key, Joined(path, subKey));
  return platform::ERROR_SUCCESS;
}

LONG SystemRegistry::RegQueryValueExA(platform::HKEY key, std::string_view name, std::uint32_t*,
                                      std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::ERROR_INVALID_HANDLE;
  if (data && !size) return platform::ERROR_INVALID_PARAMETER;
  const std::wstring valueName = FromGameText(name);
  DWORD kind = 0, bytes = 0;
  ::LONG error =
      ::RegQueryValueExW(handle->second.key, valueName.c_str(), nullptr, &kind, nullptr, &bytes);
  if (error != platform::ERROR_SUCCESS) return error;
  std::vector<std::uint8_t> stored(bytes);
  error = ::RegQueryValueExW(handle->second.key, valueName.c_str(), nullptr, &kind, stored.data(),
                             &bytes);
  if (error != platform::ERROR_SUCCESS) return error;
  stored.resize(bytes);
  std::string value(stored.begin(), stored.end());
  if (kind == kString) {
    // The game's text, as the narrow call gives it: with the terminator the string was kept with.
    std::wstring text(stored.size() / sizeof(wchar_t), L'\0');
    std::copy_n(stored.data(), text.size() * sizeof(wchar_t),
                reinterpret_cast<std::uint8_t*>(text.data()));
    value = ToGameText(text);
  }
  if (type) *type = kind;
  const auto needed = static_cast<std::uint32_t>(value.size());
  if (!size) return platform::ERROR_SUCCESS;
  if (data && *size < needed) {
    *size = needed;
    return platform::ERROR_MORE_DATA;
  }
  if (data) std::copy(value.begin(), value.end(), data);
  *size = needed;
  return platform::ERROR_SUCCESS;
}

LONG SystemRegistry::RegSetValueExA(platform::HKEY key, std::string_view name, std::uint32_t,
                                    std::uint32_t type, const std::uint8_t* data,
                                    std::uint32_t size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::ERROR_INVALID_HANDLE;
  if (!data && size != 0) return platform::ERROR_INVALID_PARAMETER;
  std::wstring text;
  const BYTE* bytes = data;
  DWORD length = size;
  if (type == kString) {
    text = FromGameText(std::string_view(reinterpret_cast<const char*>(data), size));
    bytes = reinterpret_cast<const BYTE*>(text.data());
    length = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  }
  const ::LONG error =
      ::RegSetValueExW(handle->second.key, FromGameText(name).c_str(), 0, type, bytes, length);
  if (error != platform::ERROR_SUCCESS) {
    return Refused(&handle->second, handle->second.path, error);
  }
  writeError_.clear();
  return platform::ERROR_SUCCESS;
}

LONG SystemRegistry::RegFlushKey(platform::HKEY key) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::ERROR_INVALID_HANDLE;
  const ::LONG error = ::RegFlushKey(handle->second.key);
  if (handle->second.failure != 0) return handle->second.failure;
  return error == platform::ERROR_SUCCESS ? platform::ERROR_SUCCESS
                                          : Refused(&handle->second, handle->second.path, error);
}

LONG SystemRegistry::RegCloseKey(platform::HKEY key) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return platform::ERROR_INVALID_HANDLE;
  const LONG failure = handle->second.failure;
  ::RegCloseKey(handle->second.key);
  handles_.erase(handle);
  return failure;
}

bool AdoptMachineStore(HKEY userRoot, std::string_view key) {
  const std::wstring path = FromGameText(key);
  HKEY existing = nullptr;
  if (::RegOpenKeyExW(userRoot, path.c_str(), 0, KEY_READ, &existing) == platform::ERROR_SUCCESS) {
    ::RegCloseKey(existing);
    return false;
  }
  // A 32-bit game's machine-wide key lies below WOW6432Node on 64-bit Windows.
  std::wstring below32 = path;
  constexpr std::wstring_view kSoftware = L"SOFTWARE\\";
  if (below32.size() > kSoftware.size() &&
      ::CompareStringOrdinal(below32.c_str(), static_cast<int>(kSoftware.size()), kSoftware.data(),
                             static_cast<int>(kSoftware.size()), TRUE) == CSTR_EQUAL) {
    below32.insert(kSoftware.size(), L"WOW6432Node\\");
  }
  const std::wstring virtualStore = L"Software\\Classes\\VirtualStore\\MACHINE\\";
  struct Source {
    HKEY hive;
    std::wstring path;
    REGSAM view;
  };
  const std::array<Source, 4> sources{{
      {HKEY_CURRENT_USER, virtualStore + below32, 0},
      {HKEY_CURRENT_USER, virtualStore + path, 0},
      {kMachineHive, path, KEY_WOW64_32KEY},
      {kMachineHive, path, KEY_WOW64_64KEY},
  }};
  for (const Source& source : sources) {
    HKEY from = nullptr;
    if (::RegOpenKeyExW(source.hive, source.path.c_str(), 0, KEY_READ | source.view, &from) !=
        platform::ERROR_SUCCESS) {
      continue;
    }
    HKEY to = nullptr;
    bool copied = ::RegCreateKeyExW(userRoot, path.c_str(), 0, nullptr,
                                    platform::REG_OPTION_NON_VOLATILE, platform::KEY_ALL_ACCESS,
                                    nullptr, &to, nullptr) == platform::ERROR_SUCCESS;
    if (copied) {
      copied = ::RegCopyTreeW(from, nullptr, to) == platform::ERROR_SUCCESS;
      ::RegCloseKey(to);
    }
    ::RegCloseKey(from);
    return copied;
  }
  return false;
}

}  // namespace krelmo::win32
