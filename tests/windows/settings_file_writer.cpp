// The settings file as the game leaves it, for the Windows registry round trip
// (tests/windows/run_tests.sh): `settings_file_writer FILE` plays a first run through the game's
// own start-up, picks three players of Varnak, enters a high score under a name that needs the
// file's escapes and letters beyond ASCII, and shuts down, which saves. `settings_file_writer
// --list FILE` reads FILE (the game's own, or one `regedit /E` exported) through the game's
// store and prints every value, one line each: key, name, type and data (strings in UTF-8),
// the way `reg query` shows them; it fails when the store holds no value, as when the file
// could not be read.
#include <cstdio>
#include <string>

#include "app/game.h"
#include "frontend/headless/headless_platform.h"
#include "platform/cp1252.h"

namespace {

using namespace krelmo;

std::string Shown(const platform::RegValue& value) {
  char text[16];
  if (value.type == platform::REG_DWORD && value.data.size() == 4) {
    const std::uint32_t number = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                 static_cast<std::uint32_t>(value.data[3]) << 24;
    std::snprintf(text, sizeof text, "0x%x", number);
    return text;
  }
  if (value.type == platform::REG_SZ) {
    std::string out;
    for (const std::uint8_t byte : value.data) {
      if (byte == 0) break;
      const char32_t c = platform::Cp1252ToUnicode(byte);
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
  std::string out;
  for (const std::uint8_t byte : value.data) {
    std::snprintf(text, sizeof text, "%02X", byte);
    out += text;
  }
  return out;
}

const char* TypeName(std::uint32_t type) {
  switch (type) {
    case platform::REG_SZ:
      return "REG_SZ";
    case platform::REG_DWORD:
      return "REG_DWORD";
    default:
      return "REG_BINARY";
  }
}

int List(const std::string& path) {
  const platform::Registry store(path);
  for (const auto& [key, values] : store.Tree()) {
    for (const auto& [name, value] : values) {
      std::printf("%s\t%s\t%s\t%s\n", key.c_str(), name.empty() ? "(Default)" : name.c_str(),
                  TypeName(value.type), Shown(value).c_str());
    }
  }
  return store.Tree().empty() ? 1 : 0;
}

int Write(const std::string& path) {
  headless::HeadlessPlatform host;
  host.registry = platform::Registry(path);
  app::Game game(host.Get());
  game.timer.SetReportSink([](std::string_view) {});
  if (game.InitApplication() != 0) return 1;
  game.SelectPlayers(2);
  game.SelectVariant(engine::Variant::kVarnak);
  // A quote, a backslash and letters beyond ASCII in Windows-1252 (ë, é and the euro sign):
  // the 11 bytes a name holds.
  host.dialogs.nameToType = "Zo\xEB\xE9\x80 \"Q\" \\";
  game.engine.state.currentPlayer = 0;
  game.engine.state.playerScore[0] = 9000;
  game.CheckHighScore(9000);
  game.ShutdownApplication();
  if (!host.registry.WriteError().empty()) {
    std::fprintf(stderr, "settings_file_writer: %s\n", host.registry.WriteError().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc == 2 && first != "--list") return Write(first);
  if (argc == 3 && first == "--list") return List(argv[2]);
  std::fprintf(stderr, "usage: settings_file_writer [--list] FILE\n");
  return 2;
}
