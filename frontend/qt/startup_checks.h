// What the game says when it cannot open its window: one line on the error stream and exit
// code 1, instead of the toolkit's abort.
#pragma once

#include <optional>
#include <string>

namespace krelmo::qt {

// Routes the toolkit's fatal messages to ExitWithWindowError; other messages go on to the
// toolkit's own output. Until StartupFinished the windowing plugin's complaints are held
// back, so that a window that cannot open costs the player one line, not a screenful.
void InstallFatalErrorHandler();
// The window system answered: held messages are let through, and from now on a fatal
// message reads as a fatal error of the game rather than of its window.
void StartupFinished();

// Why the window cannot open, known before the toolkit tries: on Linux, with no platform
// chosen, neither an X11 nor a Wayland display to talk to.
std::optional<std::string> MissingDisplayReason();

// Prints "krelmo99: cannot open the game window: <reason>" and ends the process with
// exit code 1, without a core dump.
[[noreturn]] void ExitWithWindowError(const std::string& reason);

}  // namespace krelmo::qt
