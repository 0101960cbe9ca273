// The settings store: the registry's calls over a tree of keys, and the file that keeps it,
// replaced whole and atomically on every save.
#include "platform/registry.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/whole_file.h"

namespace krelmo::platform {

namespace {

constexpr std::string_view kMachineHive = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kSoftware = "HKEY_LOCAL_MACHINE\\SOFTWARE";
// Damaged settings files kept beside the file, as NAME.damaged-1 and on.
constexpr int kDamagedNames = 999;

std::string Reason(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

// Only one game runs at a time: a temporary file beside ours is left over from a save that a
// crash cut short.
void RemoveStaleTemporaries(const std::string& path) {
  const std::filesystem::path target(path);
  const std::string prefix = target.filename().string() + ".tmp-";
  std::error_code ec;
  const auto folder = target.has_parent_path() ? target.parent_path() : ".";
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) {
      std::filesystem::remove(entry.path(), ec);
    }
  }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && NoCaseEqual(text.substr(0, prefix.size()), prefix);
}

}  // namespace

Registry::Registry(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;  // kept in memory
  RemoveStaleTemporaries(path_);
  std::string bytes;
  const int error = ReadWholeFile(path_, bytes);
  if (error == ENOENT || error == ENOTDIR) return;  // a first run
  if (error != 0) {
    noSaveReason_ = Reason(path_, error) + " (the file is kept as it is)";
    return;
  }
  std::string why;
  if (auto tree = ParseRegText(bytes, &why)) {
    tree_ = std::move(*tree);
    return;
  }
  // Never lost, never overwritten: the damaged file goes to the first free name beside it. When
  // every name is taken it stays where it is, and this run's settings live in memory only.
  std::string moveError;
  for (int n = 1; n <= kDamagedNames; ++n) {
    const std::string aside = path_ + ".damaged-" + std::to_string(n);
    switch (RenameWithoutReplacing(path_, aside, moveError)) {
      case Renamed::kDone:
        std::fprintf(stderr,
                     "krelmo99: %s is not a settings file (%s); moved to %s, starting afresh\n",
                     path_.c_str(), why.c_str(), aside.c_str());
        return;
      case Renamed::kNameTaken:
        continue;
      case Renamed::kFailed:
        noSaveReason_ = moveError + " (damaged, and it could not be moved aside)";
        std::fprintf(stderr,
                     "krelmo99: %s is not a settings file (%s) and cannot be moved aside: %s\n",
                     path_.c_str(), why.c_str(), moveError.c_str());
        return;
    }
  }
  const std::string taken = path_ + ".damaged-1 to .damaged-" + std::to_string(kDamagedNames);
  noSaveReason_ = path_ + ": damaged, and not moved aside: " + taken +
                  " are all kept already (the file is kept as it is)";
  std::fprintf(stderr,
               "krelmo99: %s is not a settings file (%s) and cannot be moved aside: %s are all "
               "kept already; it is kept as it is, and this run's settings will not be saved\n",
               path_.c_str(), why.c_str(), taken.c_str());
}

bool Registry::KeyExists(const std::string& path) const {
  if (NoCaseEqual(path, kMachineHive) || NoCaseEqual(path, kSoftware)) return true;
  if (tree_.count(path) != 0) return true;
  // A key listed below this one brings it along.
  const std::string prefix = path + "\\";
  const auto below = tree_.lower_bound(prefix);
  return below != tree_.end() && StartsWithNoCase(below->first, prefix);
}

LONG Registry::Resolve(HKEY parent, std::string_view subKey, std::string& path) const {
  if (parent == HKEY_LOCAL_MACHINE) {
    path = kMachineHive;
  } else {
    const auto it = handles_.find(parent);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    path = it->second.path;
  }
  if (subKey.empty()) return ERROR_SUCCESS;
  std::size_t start = 0;
  while (start <= subKey.size()) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string_view::npos) end = subKey.size();
    const std::string_view name = subKey.substr(start, end - start);
    const bool control = std::any_of(name.begin(), name.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (name.empty() || control) return ERROR_INVALID_PARAMETER;
    path += '\\';
    path += name;
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

HKEY Registry::NewHandle(const std::string& path, bool wrote) {
  const HKEY handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = {path, wrote};
  return handle;
}

LONG Registry::RegOpenKeyExA(HKEY parent, std::string_view subKey, std::uint32_t, std::uint32_t,
                             HKEY* result) {
  std::string path;
  if (const LONG error = Resolve(parent, subKey, path); error != ERROR_SUCCESS) return error;
  if (!KeyExists(path)) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(path, false);
  return ERROR_SUCCESS;
}

LONG Registry::RegCreateKeyExA(HKEY parent, std::string_view subKey, std::uint32_t,
                               std::string_view, std::uint32_t, std::uint32_t, const void*,
                               HKEY* result, std::uint32_t* disposition) {
  std::string path;
  if (const LONG error = Resolve(parent, subKey, path); error != ERROR_SUCCESS) return error;
  const bool existed = KeyExists(path);
  if (!existed) {
    tree_[path];
    changed_ = true;
  }
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = NewHandle(path, !existed);
  return ERROR_SUCCESS;
}

LONG Registry::RegQueryValueExA(HKEY key, std::string_view name, std::uint32_t*,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return ERROR_INVALID_HANDLE;
  const auto values = tree_.find(handle->second.path);
  if (values == tree_.end()) return ERROR_FILE_NOT_FOUND;
  const auto value = values->second.find(name);
  if (value == values->second.end()) return ERROR_FILE_NOT_FOUND;
  const RegValue& found = value->second;
  if (type) *type = found.type;
  const auto needed = static_cast<std::uint32_t>(found.data.size());
  if (!size) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (data && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data) std::copy(found.data.begin(), found.data.end(), data);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG Registry::RegSetValueExA(HKEY key, std::string_view name, std::uint32_t, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return ERROR_INVALID_HANDLE;
  // A name that breaks a line could not be written back to the file.
  if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) {
    return ERROR_INVALID_PARAMETER;
  }
  if (!data && size != 0) return ERROR_INVALID_PARAMETER;
  RegValue value{type, std::vector<std::uint8_t>(data, data + size)};
  handle->second.wrote = true;
  RegValues& values = tree_[handle->second.path];
  const auto it = values.find(name);
  if (it == values.end()) {
    values.emplace(std::string(name), std::move(value));
  } else {
    it->second = std::move(value);
  }
  changed_ = true;
  return ERROR_SUCCESS;
}

LONG Registry::RegFlushKey(HKEY key) {
  if (handles_.count(key) == 0 && key != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
  return changed_ ? Save() : ERROR_SUCCESS;
}

LONG Registry::RegCloseKey(HKEY key) {
  const auto handle = handles_.find(key);
  if (handle == handles_.end()) return ERROR_INVALID_HANDLE;
  const bool wrote = handle->second.wrote;
  handles_.erase(handle);
  return changed_ && wrote ? Save() : ERROR_SUCCESS;
}

LONG Registry::Save() {
  if (path_.empty()) {
    changed_ = false;
    return ERROR_SUCCESS;
  }
  if (!noSaveReason_.empty()) {
    writeError_ = noSaveReason_;
    return ERROR_ACCESS_DENIED;
  }
  if (!WriteFileAtomically(path_, FormatRegText(tree_), writeError_)) return ERROR_WRITE_FAULT;
  if (onWritten && !onWritten(writeError_)) return ERROR_WRITE_FAULT;
  // Kept changed until a write succeeds, so that the next flush or close tries again.
  changed_ = false;
  writeError_.clear();
  return ERROR_SUCCESS;
}

}  // namespace krelmo::platform
