// krelmo-sim: plays a script of inputs on the real game with no window and no waiting, and
// writes what happened: a trace of every ball step, screenshots, a summary.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/sim/replay_run.h"
#include "tools/sim/script.h"
#include "tools/sim/simulator.h"

namespace {

constexpr int kExitUsage = 2;  // also a malformed script
constexpr int kExitOutput = 1;

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: krelmo-sim [options] SCRIPT   (SCRIPT '-' reads standard input)\n"
      "       krelmo-sim --replay FILE [--png FILE]\n"
      "  --replay FILE     play a recorded match back; exit 0 when it ends as recorded,\n"
      "                    1 when it differs, 2 when the file cannot be read\n"
      "  --trace FILE      CSV line for every ball step\n"
      "  --png FILE        screenshot of the client area at the end\n"
      "  --png-every N     also FILE-<frame>.png every N frames (needs --png)\n"
      "  --full-surface    screenshots of the whole 640 x 480 surface\n"
      "  --summary         print the outcome: scores, balls, turns\n"
      "  --record FILE     the replay of the first match that ends (gzip when FILE ends .gz)\n"
      "script commands, one a line ('#' starts a comment):\n"
      "  seed N | variant krelmo|varnak | players N | start | serve | key F2|F3|Esc\n"
      "  answer yes|no | mouse X | autopilot OFFSET|off | frames N | name TEXT\n"
      "  menu TEXT (the item whose text is TEXT, e.g. 'menu PC Speaker'; greyed ones are\n"
      "  ignored) | stick X BUTTONS (X 0 to 65535; BUTTONS 1: button 1, 2: button 2, 3: both;\n"
      "  a script with a stick line plays with a joystick attached from the start)\n"
      "a question takes the first answer not yet taken: those under the line that raises it\n"
      "are ready for it; an unanswered question is answered no\n"
      "the random generator is seeded with 1 unless the script seeds it\n",
      out);
}

int UsageError(const char* message, std::string_view detail = {}) {
  std::fprintf(stderr, "krelmo-sim: %s%.*s\n", message, static_cast<int>(detail.size()),
               detail.data());
  PrintUsage(stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  krelmo::sim::Options options;
  std::string scriptPath;
  std::string replayPath;
  bool haveScript = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    } else if (arg == "--trace" || arg == "--png" || arg == "--png-every" || arg == "--replay" ||
               arg == "--record") {
      if (!hasValue) return UsageError("missing value after ", arg);
      const std::string value = argv[++i];
      if (arg == "--replay") {
        replayPath = value;
      } else if (arg == "--record") {
        options.recordPath = value;
      } else if (arg == "--trace") {
        options.tracePath = value;
      } else if (arg == "--png") {
        options.pngPath = value;
      } else {
        char* end = nullptr;
        const long long n = std::strtoll(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || n <= 0 || n > 1'000'000'000) {
          return UsageError("--png-every needs a positive whole number, not ", value);
        }
        options.pngEvery = n;
      }
    } else if (arg == "--summary") {
      options.summary = true;
    } else if (arg == "--full-surface") {
      options.fullSurface = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      return UsageError("unknown option ", arg);
    } else if (haveScript) {
      return UsageError("more than one script given: ", arg);
    } else {
      scriptPath = std::string(arg);
      haveScript = true;
    }
  }
  if (!replayPath.empty()) {
    if (haveScript) return UsageError("a script and a replay cannot be played together");
    return krelmo::sim::PlayReplay(replayPath, options.pngPath);
  }
  if (!haveScript) return UsageError("no script given");
  if (options.pngEvery > 0 && options.pngPath.empty()) {
    return UsageError("--png-every needs --png FILE to name the pictures");
  }

  krelmo::sim::ParseError error{0, {}};
  std::optional<std::vector<krelmo::sim::ScriptLine>> script;
  const std::string shownPath = scriptPath == "-" ? "<stdin>" : scriptPath;
  if (scriptPath == "-") {
    script = krelmo::sim::ParseScript(std::cin, error);
  } else {
    std::ifstream file(scriptPath, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "krelmo-sim: cannot read the script %s\n", scriptPath.c_str());
      return kExitUsage;
    }
    script = krelmo::sim::ParseScript(file, error);
  }
  if (!script) {
    std::fprintf(stderr, "krelmo-sim: %s:%d: %s\n", shownPath.c_str(), error.line,
                 error.message.c_str());
    return kExitUsage;
  }

  for (const auto& line : *script) {
    if (std::holds_alternative<krelmo::sim::Stick>(line.command)) options.joystick = true;
  }
  krelmo::sim::Simulator simulator(options);
  if (!simulator.Begin()) return kExitOutput;
  const bool written = simulator.Run(*script);
  if (options.summary) simulator.PrintSummary(stdout);
  return written ? 0 : kExitOutput;
}
