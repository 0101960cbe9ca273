// The command line's two forms.
#include "replay/command_line.h"

namespace krelmo::replay {

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--replay" && i + 1 < arguments.size()) {
      line.replayPath = arguments[++i];
      continue;
    }
    error = "krelmo99: unknown argument " + arguments[i] +
            "\nusage: krelmo99 [--replay FILE]   (FILE: a match recorded by the game)";
    return false;
  }
  return true;
}

}  // namespace krelmo::replay
