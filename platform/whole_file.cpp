// The settings file's reads, atomic saves and moves aside, with each system's own calls.
#include "platform/whole_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>  // renameat2
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace krelmo::platform {

namespace {

// The folder a file is saved in, made first if it is missing.
bool MakeFolderFor(const std::filesystem::path& target, std::filesystem::path& folder,
                   std::string& error) {
  folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) error = folder.string() + ": " + ec.message();
  return !ec;
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

#else

std::string Reason(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

#endif

}  // namespace

#ifdef _WIN32

// Read as bytes: no line-end translation.
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
  std::filesystem::path folder;
  if (!MakeFolderFor(target, folder, error)) return false;
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

// Without MOVEFILE_REPLACE_EXISTING, a name that is taken fails the move and changes nothing.
Renamed RenameWithoutReplacing(const std::string& from, const std::string& to, std::string& error) {
  if (::MoveFileExW(std::filesystem::path(from).c_str(), std::filesystem::path(to).c_str(),
                    MOVEFILE_WRITE_THROUGH)) {
    return Renamed::kDone;
  }
  const DWORD code = ::GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return Renamed::kNameTaken;
  error = WindowsReason(from, code);
  return Renamed::kFailed;
}

#else

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
  std::filesystem::path folder;
  if (!MakeFolderFor(target, folder, error)) return false;
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

// rename() would replace a file of the new name: renameat2() with RENAME_NOREPLACE does not.
// Where the file system cannot rename so (some network ones), a second name made with link(),
// which never replaces either, and the first one then removed. A C library without renameat2()
// is the browser's, whose file system only this page writes and which has no links: there,
// looking before renaming is as safe.
Renamed RenameWithoutReplacing(const std::string& from, const std::string& to, std::string& error) {
#ifndef RENAME_NOREPLACE
  struct stat existing;
  if (::stat(to.c_str(), &existing) == 0) return Renamed::kNameTaken;
  if (::rename(from.c_str(), to.c_str()) == 0) return Renamed::kDone;
  error = Reason(from, errno);
  return Renamed::kFailed;
#else
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return Renamed::kDone;
  }
  if (errno == EEXIST) return Renamed::kNameTaken;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    error = Reason(from, errno);
    return Renamed::kFailed;
  }
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return Renamed::kNameTaken;
    error = Reason(from, errno);
    return Renamed::kFailed;
  }
  if (::unlink(from.c_str()) != 0) {
    const int number = errno;
    ::unlink(to.c_str());
    error = Reason(from, number);
    return Renamed::kFailed;
  }
  return Renamed::kDone;
#endif
}

#endif

}  // namespace krelmo::platform
