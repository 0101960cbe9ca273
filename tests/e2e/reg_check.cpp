// reg-check [--as-written] FILE: whether a settings file reads as a whole registry file, and
// with --as-written, whether it is also byte for byte the file the game writes for what it
// holds (UTF-16 after a byte-order mark, CR LF line ends, the registry editor's layout). Prints
// the parser's reason, or what differs, and exits 1 when it is not.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/reg_text.h"

int main(int argc, char** argv) {
  const bool asWritten = argc == 3 && std::string(argv[1]) == "--as-written";
  if (argc != 2 && !asWritten) {
    std::fprintf(stderr, "usage: reg-check [--as-written] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "reg-check: cannot read %s\n", path);
    return 1;
  }
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::string why;
  const auto tree = krelmo::platform::ParseRegText(bytes, &why);
  if (!tree) {
    std::fprintf(stderr, "reg-check: %s is not whole: %s\n", path, why.c_str());
    return 1;
  }
  if (asWritten) {
    const std::string written = krelmo::platform::FormatRegText(*tree);
    if (bytes != written) {
      std::size_t at = 0;
      while (at < bytes.size() && at < written.size() && bytes[at] == written[at]) ++at;
      std::fprintf(stderr, "reg-check: %s is not as the game writes it, from byte %zu on\n", path,
                   at);
      return 1;
    }
  }
  std::printf("%zu keys\n", tree->size());
  return 0;
}
