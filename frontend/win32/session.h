// The game's place on Windows: where its replays are kept, how long the process has run, its
// command line, and a console to speak on when it was started from one.
#pragma once

#include <string>
#include <vector>

namespace krelmo::win32 {

// %LOCALAPPDATA%\krelmo99\replays, in UTF-8.
std::string ReplaysFolder();
// Milliseconds since the system started this process, or a negative number where that cannot
// be read.
double MsSinceProcessStart();
// The arguments after the program's name, in UTF-8.
std::vector<std::string> Arguments();
// A program of the window subsystem has no error stream of its own: when it was started from
// a console without one being handed to it, its lines go to that console.
void SpeakOnParentConsole();

}  // namespace krelmo::win32
