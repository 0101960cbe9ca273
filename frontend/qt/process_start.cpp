// The process's start time, read from /proc/self/stat, against the boot-time clock.
#include "frontend/qt/process_start.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

namespace krelmo::qt {

double MsSinceProcessStart() {
  std::ifstream statFile("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  // The fields after the command name's closing parenthesis; the start time is the 20th.
  std::size_t at = stat.rfind(')');
  if (at == std::string::npos) return -1;
  for (int field = 0; field < 20 && at != std::string::npos; ++field) at = stat.find(' ', at + 1);
  if (at == std::string::npos) return -1;
  const double startTicks = std::strtod(stat.c_str() + at + 1, nullptr);
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1;
  const double nowMs =
      static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
  return nowMs - startTicks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace krelmo::qt
