// The simulator's input: a script of one command a line, parsed up front so that a mistake
// anywhere stops the run before anything is played.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace krelmo::sim {

struct Seed {
  std::uint32_t value;
};
struct Variant {
  bool varnak;
};
struct Players {
  int count;  // 1 to 4
};
struct Start {};
struct Serve {};
enum class Key { kF2, kF3, kEsc };
struct PressKey {
  Key key;
};
struct Answer {
  bool yes;
};
struct Mouse {
  int x;
};
struct Autopilot {
  std::optional<int> offset;  // none: off
};
struct Frames {
  std::int64_t count;
};
struct Name {
  std::string text;  // Windows-1252, as the game keeps names
};
// A menu item chosen by its text, as the menu bar shows it up to its tab.
struct MenuChoice {
  int id;
  std::string text;
};
// The joystick's stick and buttons from now on (bit 0 button 1, bit 1 button 2). A script
// that holds one plays with a joystick attached from the start.
struct Stick {
  std::uint32_t x;
  std::uint32_t buttons;
};

using Command = std::variant<Seed, Variant, Players, Start, Serve, PressKey, Answer, Mouse,
                             Autopilot, Frames, Name, MenuChoice, Stick>;

struct ScriptLine {
  int number;  // 1-based line of the script file
  Command command;
};

struct ParseError {
  int line;
  std::string message;
};

constexpr std::int64_t kMaxFramesPerCommand = 1'000'000;
constexpr int kMaxAutopilotOffset = 640;

// Reads the whole script. On the first malformed line it stops and fills `error`.
std::optional<std::vector<ScriptLine>> ParseScript(std::istream& in, ParseError& error);

}  // namespace krelmo::sim
