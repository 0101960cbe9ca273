// reg-check: whether a settings file reads as a whole registry file. Prints the parser's reason
// and exits 1 when it does not.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/reg_text.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: reg-check FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "reg-check: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::string why;
  const auto tree = krelmo::platform::ParseRegText(bytes, &why);
  if (!tree) {
    std::fprintf(stderr, "reg-check: %s is not whole: %s\n", argv[1], why.c_str());
    return 1;
  }
  std::printf("%zu keys\n", tree->size());
  return 0;
}
