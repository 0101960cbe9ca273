// A replay: what the game was at the start of a match, every input its logic took during
// the match in the order it took them, and how the match ended. Kept as text, one line an
// item, under a header line that names the format's version:
//
//   krelmo99-replay 1
//   seed 2718281828                         the serves' random generator as the match starts
//   settings 2 0 1 1 1                      players, variant, sound on, digital, mouse
//   devices 1 0 1                           recordings play, joystick present, window active
//   state 290 0 0 4294967295 0 0 0 0 0 0    paddle, brick latch, shown score, last stick x,
//                                           stick x y z buttons, buttons 1 and 2 held
//   table V R SCORE NAME                    ten lines: both high-score tables, rank 1 first
//   t C                                     the play timer's tick; C: check of the ball's state
//   d MSG WPARAM LPARAM                     any other message taken (MSG in hex)
//   q                                       the quit message taken
//   m STEP X                                a mouse move taken by ball step STEP of the frame
//   r STEP                                  a right click seen by ball step STEP
//   j [-] [X Y Z BUTTONS]                   a joystick reading ('-': the read failed); with
//                                           no numbers, the same reading as the last
//   p                                       the joystick's periodic poll ran
//   a ANSWER | n NAME | h 0|1 | o           a message box's answer, the high-score name
//                                           typed, whether the help showed, About closed
//   end SCORES... BALLS... SURFACE          the last line: every slot's score and balls, and
//                                           a check of the client area's pixels (hex)
//
// Names are Windows-1252 bytes; a backslash, a control character or DEL is written as \xHH.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/state.h"
#include "platform/messages.h"
#include "records/records.h"

namespace krelmo::replay {

constexpr int kFormatVersion = 1;
constexpr std::string_view kFormatName = "krelmo99-replay";
// The header's lines: the format's, then seed, settings, devices, state and both tables' rows.
constexpr int kHeaderLines = 5 + 2 * records::kTableRows;

enum class Kind : char {
  kTimer = 't',
  kDispatch = 'd',
  kQuit = 'q',
  kMouse = 'm',
  kRightClick = 'r',
  kJoystick = 'j',
  kPoll = 'p',
  kAnswer = 'a',
  kName = 'n',
  kHelp = 'h',
  kAbout = 'o',
};

struct Event {
  Event() = default;
  explicit Event(Kind kind) : kind(kind) {}

  Kind kind = Kind::kTimer;
  Message message;                    // d: the message; m: lParam holds the pointer's x
  std::uint32_t check = 0;            // t: the ball's state as the tick was taken (StateCheck)
  int step = 0;                       // m, r
  bool ok = true;                     // j: the read worked; h: the help showed
  platform::JoystickReading reading;  // j
  bool sameReading = false;           // j: written without numbers (the parser fills them in)
  int answer = 0;                     // a
  std::string text;                   // n
};

struct Header {
  std::uint32_t seed = 0;
  engine::Settings settings;
  std::uint32_t waveAvailable = 0;
  std::uint32_t joystickPresent = 0;
  std::uint32_t appActive = 1;
  // What a match carries over from before it, which StartNewGame leaves as it is.
  std::int16_t paddleX = 0;
  bool brickHitLatch = false;
  std::int32_t shownScore = 0;
  std::uint32_t lastJoyX = 0;
  platform::JoystickReading joyInfo;
  std::uint32_t joyButton1Down = 0;
  std::uint32_t joyButton2Down = 0;
  std::array<records::HighScoreTable, 2> tables;  // by variant
};

struct Ending {
  std::array<std::int32_t, engine::kPlayerSlots> scores{};
  std::array<std::int32_t, engine::kPlayerSlots> balls{};
  std::uint64_t surface = 0;
  bool operator==(const Ending&) const = default;
};

struct Replay {
  Header header;
  std::vector<Event> events;
  Ending ending;
};

struct ParseError {
  int line = 0;  // 1 for the first line; 0: the file as a whole
  std::string message;
};

// The header's lines, each ending in a newline.
std::string FormatHeader(const Header& header);
// Appends one event's line. It allocates nothing while `out` has room for 64 more bytes.
void AppendEvent(std::string& out, const Event& event);
void AppendEnding(std::string& out, const Ending& ending);
// Refuses a file of another format or version, a damaged line and a file that stops
// before its end line.
std::optional<Replay> ParseReplay(std::string_view text, ParseError& error);

}  // namespace krelmo::replay
