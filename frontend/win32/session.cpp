// Known folders, the process's times and the command line, from the system.
#include "frontend/win32/session.h"

#include <cstdio>

#include "frontend/win32/game_text.h"
#include "frontend/win32/win32.h"

namespace krelmo::win32 {

std::string ReplaysFolder() {
  wchar_t* folder = nullptr;
  std::wstring path;
  if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK) {
    path = folder;
  }
  ::CoTaskMemFree(folder);
  return ToUtf8(path + L"\\krelmo99\\replays");
}

double MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  ::GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(now) - ticks(created)) / 1e4;  // in units of 100 ns
}

std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> out;
  for (int i = 1; arguments && i < count; ++i) out.push_back(ToUtf8(arguments[i]));
  ::LocalFree(arguments);
  return out;
}

void SpeakOnParentConsole() {
  const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  if (error && error != INVALID_HANDLE_VALUE) return;  // one was handed over (a file, a pipe)
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stderr);
  std::freopen("CONOUT$", "w", stdout);
}

}  // namespace krelmo::win32
