// Parsing the simulator's scripts: one command a line, blank lines and '#' comments ignored.
// Every number is range-checked, so no line can make the run misbehave.
#include "tools/sim/script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#include "platform/cp1252.h"
#include "resources/menu.h"

namespace krelmo::sim {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// A word of the script as it can be shown in a message: control bytes escaped, cut short.
std::string Printable(std::string_view word) {
  std::string out;
  for (const char c : word.substr(0, 40)) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) {
      out += c;
    } else {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  if (word.size() > 40) out += "...";
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// The item of the main menu whose text, up to its tab, is `text` in any case.
std::optional<MenuChoice> FindMenuItem(std::string_view text) {
  const std::string wanted = Lower(text);
  for (const auto& item : resources::kMainMenu) {
    if (item.text == nullptr) continue;
    const std::string_view shown =
        std::string_view(item.text).substr(0, std::string_view(item.text).find('\t'));
    if (Lower(shown) == wanted) return MenuChoice{item.id, std::string(shown)};
  }
  return std::nullopt;
}

std::optional<std::int64_t> Integer(std::string_view word, std::int64_t min, std::int64_t max) {
  std::int64_t value = 0;
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

class LineParser {
 public:
  explicit LineParser(ParseError& error) : error_(error) {}

  std::optional<Command> Parse(int number, std::string_view line) {
    number_ = number;
    line = Trim(line);
    const std::size_t split = std::min(line.find_first_of(" \t"), line.size());
    const std::string verb = Lower(line.substr(0, split));
    const std::string_view rest = Trim(line.substr(split));
    // A name keeps everything after the command word, '#' included.
    if (verb == "name") {
      if (rest.empty()) return Fail("name needs the text to enter");
      // Typed as a player types it; the game keeps it in its own single-byte text.
      auto typed = platform::Utf8ToCp1252(rest);
      if (!typed) return Fail("name is not UTF-8 text");
      return Name{std::move(*typed)};
    }
    std::string_view body = rest.substr(0, rest.find('#'));
    const auto args = Words(body);

    if (verb == "menu") {
      const std::string_view text = Trim(body);
      if (text.empty()) return Fail("menu needs the text of an item, e.g. 'menu PC Speaker'");
      if (auto choice = FindMenuItem(text)) return *choice;
      return Fail("no menu item reads '" + Printable(text) + "'");
    }

    if (verb == "seed") {
      if (!Arguments(args, 1, "seed N")) return std::nullopt;
      const auto n = Integer(args[0], 0, 0xFFFFFFFFLL);
      if (!n) return Fail("seed needs a whole number from 0 to 4294967295");
      return Seed{static_cast<std::uint32_t>(*n)};
    }
    if (verb == "variant") {
      if (!Arguments(args, 1, "variant krelmo|varnak")) return std::nullopt;
      const std::string which = Lower(args[0]);
      if (which == "krelmo") return Variant{false};
      if (which == "varnak") return Variant{true};
      return Fail("unknown variant '" + Printable(args[0]) + "' (krelmo or varnak)");
    }
    if (verb == "players") {
      if (!Arguments(args, 1, "players N")) return std::nullopt;
      const auto n = Integer(args[0], 1, 4);
      if (!n) return Fail("players needs a count from 1 to 4");
      return Players{static_cast<int>(*n)};
    }
    if (verb == "start") {
      if (!Arguments(args, 0, "start")) return std::nullopt;
      return Start{};
    }
    if (verb == "serve") {
      if (!Arguments(args, 0, "serve")) return std::nullopt;
      return Serve{};
    }
    if (verb == "key") {
      if (!Arguments(args, 1, "key F2|F3|Esc")) return std::nullopt;
      const std::string key = Lower(args[0]);
      if (key == "f2") return PressKey{Key::kF2};
      if (key == "f3") return PressKey{Key::kF3};
      if (key == "esc") return PressKey{Key::kEsc};
      return Fail("unknown key '" + Printable(args[0]) + "' (F2, F3 or Esc)");
    }
    if (verb == "answer") {
      if (!Arguments(args, 1, "answer yes|no")) return std::nullopt;
      const std::string answer = Lower(args[0]);
      if (answer == "yes") return Answer{true};
      if (answer == "no") return Answer{false};
      return Fail("answer is yes or no, not '" + Printable(args[0]) + "'");
    }
    if (verb == "mouse") {
      if (!Arguments(args, 1, "mouse X")) return std::nullopt;
      const auto x = Integer(args[0], -32768, 32767);
      if (!x) return Fail("mouse needs a pixel column from -32768 to 32767");
      return Mouse{static_cast<int>(*x)};
    }
    if (verb == "stick") {
      if (!Arguments(args, 2, "stick X BUTTONS")) return std::nullopt;
      const auto x = Integer(args[0], 0, 65535);
      if (!x) return Fail("stick needs an x from 0 to 65535");
      const auto buttons = Integer(args[1], 0, 3);
      if (!buttons) return Fail("stick needs buttons from 0 to 3 (1: button 1, 2: button 2)");
      return Stick{static_cast<std::uint32_t>(*x), static_cast<std::uint32_t>(*buttons)};
    }
    if (verb == "autopilot") {
      if (!Arguments(args, 1, "autopilot OFFSET|off")) return std::nullopt;
      if (Lower(args[0]) == "off") return Autopilot{std::nullopt};
      const auto offset = Integer(args[0], -kMaxAutopilotOffset, kMaxAutopilotOffset);
      if (!offset) return Fail("autopilot needs an offset from -640 to 640, or off");
      return Autopilot{static_cast<int>(*offset)};
    }
    if (verb == "frames") {
      if (!Arguments(args, 1, "frames N")) return std::nullopt;
      const auto n = Integer(args[0], 0, kMaxFramesPerCommand);
      if (!n) return Fail("frames needs a count from 0 to 1000000");
      return Frames{*n};
    }
    return Fail("unknown command '" + Printable(verb) + "'");
  }

 private:
  bool Arguments(const std::vector<std::string_view>& args, std::size_t count, const char* usage) {
    if (args.size() == count) return true;
    Fail(std::string("expected '") + usage + "'");
    return false;
  }
  std::nullopt_t Fail(std::string message) {
    error_ = {number_, std::move(message)};
    return std::nullopt;
  }

  ParseError& error_;
  int number_ = 0;
};

}  // namespace

std::optional<std::vector<ScriptLine>> ParseScript(std::istream& in, ParseError& error) {
  std::vector<ScriptLine> script;
  LineParser parser(error);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') continue;
    auto command = parser.Parse(number, text);
    if (!command) return std::nullopt;
    script.push_back({number, std::move(*command)});
  }
  if (in.bad()) {
    error = {number + 1, "the script cannot be read"};
    return std::nullopt;
  }
  return script;
}

}  // namespace krelmo::sim
