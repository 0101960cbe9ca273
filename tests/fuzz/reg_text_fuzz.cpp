// Fuzz target of the settings file's parser (libFuzzer): any bytes at all are read without a
// crash, a leak or a hang, and whatever is read is written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/reg_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace krelmo::platform;
  const auto tree = ParseRegText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!tree) return 0;
  const auto again = ParseRegText(FormatRegText(*tree));
  if (!again || *again != *tree) __builtin_trap();
  return 0;
}
