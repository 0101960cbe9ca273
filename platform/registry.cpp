// The settings store: the registry's calls over a tree of keys, and the file that keeps it,
// replaced whole and atomically on every save.
#include "platform/registry.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace krelmo::platform {

namespace {

constexpr std::string_view kMachineHive = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kSoftware = "HKEY_LOCAL_MACHINE\\SOFTWARE";

std::string Reason(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

#ifdef _WIN32

// The system's own words for a Windows error code.
std::string WindowsReason(const std::string& path, DWORD code) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text ? std::string(text, length) : std::string();
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) message = "Windows error " + std::to_string(code);
  return path + ": " + message;
}

// The whole file into `bytes`; 0, or the error number. Read as bytes: no line-end translation.
int ReadWholeFile(const std::string& path, std::string& bytes) {
  const int fd =
      ::_wopen(std::filesystem::path(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return errno;
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    const int error = (info.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : errno != 0 ? errno : EINVAL;
    ::_close(fd);
    return error;
  }
  char buffer[65536];
  for (;;) {
    const int n = ::_read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      const int error = errno;
      ::_close(fd);
      return error;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::_close(fd);
  return 0;
}

// A temporary file beside `path`, written, flushed to disk and moved over it in one step
// that is itself written through. On failure the old file is untouched and the temporary
// file is gone.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  static std::atomic<unsigned> serial{0};
  const std::filesystem::path target(path);
  std::error_code ec;
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = folder.string() + ": " + ec.message();
    return false;
  }
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target.wstring() + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(serial++);
    file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD code = ::GetLastError();
    if (file == INVALID_HANDLE_VALUE && (code != ERROR_FILE_EXISTS || attempt == 100)) {
      error = WindowsReason(folder.string(), code);
      return false;
    }
  }
  const auto fail = [&](DWORD code) {
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    ::DeleteFileW(temporary.c_str());
    error = WindowsReason(path, code);
    return false;
  };
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
      return fail(::GetLastError());
    }
    if (written == 0) return fail(ERROR_DISK_FULL);
    done += written;
  }
  if (!::FlushFileBuffers(file)) return fail(::GetLastError());
  const HANDLE closing = file;
  file = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(closing)) return fail(::GetLastError());
  if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(::GetLastError());
  }
  return true;
}

#else

// The whole file into `bytes`; 0, or the error number.
int ReadWholeFile(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno != 0 ? errno : EINVAL;
    ::close(fd);
    return error;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return error;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return 0;
}

// A temporary file beside `path`, written, flushed to disk and renamed over it; then the
// folder is flushed so that the rename itself survives a power cut. On failure the old
// file is untouched and the temporary file is gone.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const std::filesystem::path target(path);
  std::error_code ec;
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = folder.string() + ": " + ec.message();
    return false;
  }
  std::string temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = Reason(folder.string(), errno);
    return false;
  }
  const auto fail = [&](int number) {
    ::close(fd);
    ::unlink(temporary.c_str());
    error = Reason(path, number);
    return false;
  };
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int number = errno;
    ::unlink(temporary.c_str());
    error = Reason(path, number);
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int number = errno;
    ::unlink(temporary.c_str());
    error = Reason(path, number);
    return false;
  }
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

#endif

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
  // Never lost, never overwritten: the damaged file goes to the first free name beside it.
  std::string aside;
  for (int n = 1; n < 1000; ++n) {
    aside = path_ + ".damaged-" + std::to_string(n);
    std::error_code ec;
    if (!std::filesystem::exists(aside, ec) && !ec) break;
  }
  if (::rename(path_.c_str(), aside.c_str()) == 0) {
    std::fprintf(stderr, "krelmo99: %s is not a settings file (%s); moved to %s, starting afresh\n",
                 path_.c_str(), why.c_str(), aside.c_str());
    return;
  }
  noSaveReason_ = Reason(path_, errno) + " (damaged, and it could not be moved aside)";
  std::fprintf(stderr, "krelmo99: %s is not a settings file (%s) and cannot be moved aside: %s\n",
               path_.c_str(), why.c_str(), std::strerror(errno));
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
  // Kept changed until a write succeeds, so that the next flush or close tries again.
  changed_ = false;
  writeError_.clear();
  return ERROR_SUCCESS;
}

}  // namespace krelmo::platform
