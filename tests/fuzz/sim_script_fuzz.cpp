// Fuzz target of the simulator's script parser (libFuzzer): any bytes at all are read without a
// crash, a leak or a hang; a script that is accepted holds only commands in range, by line;
// a refused one names a line of the input and says why in printable text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

#include "tools/sim/script.h"

namespace {

using namespace krelmo::sim;

bool InRange(const Command& command) {
  return std::visit(
      [](const auto& c) {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, Players>) return c.count >= 1 && c.count <= 4;
        if constexpr (std::is_same_v<T, Frames>) {
          return c.count >= 0 && c.count <= kMaxFramesPerCommand;
        }
        if constexpr (std::is_same_v<T, Autopilot>) {
          return !c.offset ||
                 (*c.offset >= -kMaxAutopilotOffset && *c.offset <= kMaxAutopilotOffset);
        }
        if constexpr (std::is_same_v<T, Name>) return !c.text.empty();
        return true;
      },
      command);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::istringstream in(text);
  ParseError error{};
  const auto script = ParseScript(in, error);
  if (!script) {
    const bool printable = std::all_of(error.message.begin(), error.message.end(),
                                       [](char c) { return c >= 0x20 && c < 0x7F; });
    if (error.line < 1 || error.line > lines || error.message.empty() || !printable) {
      __builtin_trap();
    }
    return 0;
  }
  int previous = 0;
  for (const ScriptLine& line : *script) {
    if (line.number <= previous || line.number > lines || !InRange(line.command)) __builtin_trap();
    previous = line.number;
  }
  return 0;
}
