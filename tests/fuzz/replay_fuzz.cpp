// Fuzz target of the replay file's parser (libFuzzer): any bytes at all are read without a
// crash, a leak or a hang; a file that is accepted is written back to the same replay, and
// a refused one names a line of the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "replay/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace krelmo::replay;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseError error;
  const auto replay = ParseReplay(text, error);
  if (!replay) {
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (error.message.empty() || error.line < 0 || error.line > lines + 1) __builtin_trap();
    return 0;
  }
  std::string again = FormatHeader(replay->header);
  for (const Event& event : replay->events) AppendEvent(again, event);
  AppendEnding(again, replay->ending);
  ParseError ignored;
  const auto reread = ParseReplay(again, ignored);
  if (!reread || reread->events.size() != replay->events.size() ||
      !(reread->ending == replay->ending)) {
    __builtin_trap();
  }
  std::string third = FormatHeader(reread->header);
  for (const Event& event : reread->events) AppendEvent(third, event);
  AppendEnding(third, reread->ending);
  if (third != again) __builtin_trap();
  return 0;
}
