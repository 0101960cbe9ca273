// The game's command line, alike on every system: nothing, which plays the game, or
// "--replay FILE", which shows a recorded match.
#pragma once

#include <string>
#include <vector>

namespace krelmo::replay {

// The exit code of a start with a command line of neither form.
constexpr int kExitUsage = 2;

// What a start asks for: the replay's path, or empty to play.
struct CommandLine {
  std::string replayPath;
};

// The arguments after the program's name. False for any other, with `error` saying which and
// how the game is called ("krelmo99: unknown argument X" and the usage line).
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error);

}  // namespace krelmo::replay
