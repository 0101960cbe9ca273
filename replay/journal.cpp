// The replay's text: writing it as the match goes, and reading it back with every line
// checked.
#include "replay/journal.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <utility>

#include "engine/frame.h"

namespace krelmo::replay {

namespace {

// Moves and right clicks are taken by the ball steps of a frame.
constexpr int kLastStep = engine::kStepsPerFrame;

// The header writes each setting as a number, whatever type the game keeps it in.
template <class T>
unsigned Word(T setting) {
  return static_cast<unsigned>(setting);
}
template <class T>
void SetFromWord(T& setting, std::uint32_t word) {
  setting = static_cast<T>(word);
}

void AppendName(std::string& out, std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
}

std::optional<std::string> ParseName(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    unsigned value = 0;
    if (i + 3 >= text.size() || text[i + 1] != 'x') return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16);
    if (ec != std::errc() || end != text.data() + i + 4) return std::nullopt;
    out += static_cast<char>(value);
    i += 3;
  }
  return out;
}

// The words of a line, split at single spaces; the last word may be asked to take the rest.
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line) {}

  std::string_view Next() {
    const std::size_t space = rest_.find(' ');
    const std::string_view word = rest_.substr(0, space);
    rest_ = space == std::string_view::npos ? std::string_view() : rest_.substr(space + 1);
    done_ = space == std::string_view::npos;
    return word;
  }
  std::string_view Rest() {
    done_ = true;
    return std::exchange(rest_, std::string_view());
  }
  bool AtEnd() const { return done_; }

  template <class T>
  bool Number(T& out, int base = 10) {
    if (done_) return false;
    const std::string_view word = Next();
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), out, base);
    return !word.empty() && ec == std::errc() && end == word.data() + word.size();
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

bool ParseEvent(std::string_view line, Event& e) {
  Words w(line);
  const std::string_view verb = w.Next();
  if (verb.size() != 1) return false;
  e = Event{};
  e.kind = static_cast<Kind>(verb[0]);
  bool ok = true;
  switch (e.kind) {
    case Kind::kTimer:
      ok = w.Number(e.check, 16) && e.check <= 0xFF;
      break;
    case Kind::kDispatch:
      ok = w.Number(e.message.message, 16) && w.Number(e.message.wParam) &&
           w.Number(e.message.lParam) && e.message.message != WM_QUIT;
      break;
    case Kind::kQuit:
      e.message = {WM_QUIT, 0, 0};
      break;
    case Kind::kMouse:
      e.message.message = WM_MOUSEMOVE;
      ok = w.Number(e.step) && w.Number(e.message.lParam) && e.message.lParam >= 0 &&
           e.message.lParam <= 0xFFFF && e.step >= 1 && e.step <= kLastStep;
      break;
    case Kind::kRightClick:
      e.message.message = WM_RBUTTONDOWN;
      ok = w.Number(e.step) && e.step >= 1 && e.step <= kLastStep;
      break;
    case Kind::kJoystick: {
      // The reading is filled in from the last one when the line leaves it out.
      Words probe = w;
      e.ok = w.AtEnd() || probe.Next() != "-";
      if (!e.ok) w.Next();
      if (w.AtEnd()) {
        e.sameReading = true;
        return true;
      }
      auto& r = e.reading;
      ok = w.Number(r.x) && w.Number(r.y) && w.Number(r.z) && w.Number(r.buttons);
      break;
    }
    case Kind::kAnswer:
      ok = w.Number(e.answer);
      break;
    case Kind::kName: {
      auto name = ParseName(w.Rest());
      if (!name) return false;
      e.text = std::move(*name);
      return true;
    }
    case Kind::kHelp: {
      int shown = 0;
      ok = w.Number(shown) && (shown == 0 || shown == 1);
      e.ok = shown == 1;
      break;
    }
    case Kind::kPoll:
    case Kind::kAbout:
      break;
    default:
      return false;
  }
  return ok && w.AtEnd();
}

bool ParseEnding(std::string_view line, Ending& ending) {
  Words w(line);
  if (w.Next() != "end") return false;
  for (auto& score : ending.scores) {
    if (!w.Number(score)) return false;
  }
  for (auto& balls : ending.balls) {
    if (!w.Number(balls)) return false;
  }
  return w.Number(ending.surface, 16) && w.AtEnd();
}

// The header's lines after the first, in their order; false for a line out of its place.
class HeaderReader {
 public:
  explicit HeaderReader(Header& header) : h_(header) {}

  // Takes the header's next line; false, saying why, when it is not that line.
  bool Take(std::string_view line, std::string& why) {
    Words w(line);
    const std::string_view verb = w.Next();
    bool ok = false;
    auto& s = h_.settings;
    switch (index_) {
      case 0:
        ok = verb == "seed" && w.Number(h_.seed);
        break;
      case 1: {
        std::uint32_t players = 0, variant = 0, soundOn = 0, digital = 0, mouse = 0;
        ok = verb == "settings" && w.Number(players) && w.Number(variant) && w.Number(soundOn) &&
             w.Number(digital) && w.Number(mouse) && players >= 1 && players <= 4 && variant <= 1;
        SetFromWord(s.numPlayers, players - 1);
        SetFromWord(s.gameVariant, variant);
        SetFromWord(s.soundOn, soundOn);
        SetFromWord(s.digitalSound, digital);
        SetFromWord(s.useMouse, mouse);
        break;
      }
      case 2:
        ok = verb == "devices" && w.Number(h_.waveAvailable) && w.Number(h_.joystickPresent) &&
             w.Number(h_.appActive);
        break;
      case 3: {
        auto& r = h_.joyInfo;
        int latch = 0;
        ok = verb == "state" && w.Number(h_.paddleX) && w.Number(latch) &&
             w.Number(h_.shownScore) && w.Number(h_.lastJoyX) && w.Number(r.x) && w.Number(r.y) &&
             w.Number(r.z) && w.Number(r.buttons) && w.Number(h_.joyButton1Down) &&
             w.Number(h_.joyButton2Down);
        h_.brickHitLatch = latch != 0;
        break;
      }
      default: {
        const int row = index_ - 4;
        unsigned variant = 0, rank = 0;
        records::TableRow entry;
        ok = verb == "table" && w.Number(variant) && w.Number(rank) && w.Number(entry.score) &&
             variant == static_cast<unsigned>(row / records::kTableRows) &&
             rank == static_cast<unsigned>(row % records::kTableRows + 1);
        if (ok) {
          auto name = ParseName(w.Rest());
          ok = name.has_value();
          if (ok) entry.name = std::move(*name);
          h_.tables[variant][rank - 1] = std::move(entry);
        }
        break;
      }
    }
    if (!ok || !w.AtEnd()) {
      static constexpr const char* kExpected[] = {"seed", "settings", "devices", "state"};
      why = std::string("expected a valid \"") + (index_ < 4 ? kExpected[index_] : "table") +
            "\" line";
      return false;
    }
    ++index_;
    return true;
  }
  bool Complete() const { return index_ == kHeaderLines - 1; }

 private:
  Header& h_;
  int index_ = 0;
};

}  // namespace

std::string FormatHeader(const Header& h) {
  char line[256];
  std::string out;
  std::snprintf(line, sizeof line, "%.*s %d\nseed %u\n", static_cast<int>(kFormatName.size()),
                kFormatName.data(), kFormatVersion, h.seed);
  out += line;
  const auto& s = h.settings;
  std::snprintf(line, sizeof line, "settings %u %u %u %u %u\ndevices %u %u %u\n",
                Word(s.numPlayers) + 1, Word(s.gameVariant), Word(s.soundOn), Word(s.digitalSound),
                Word(s.useMouse), h.waveAvailable, h.joystickPresent, h.appActive);
  out += line;
  const auto& r = h.joyInfo;
  std::snprintf(line, sizeof line, "state %d %d %d %u %u %u %u %u %u %u\n", h.paddleX,
                h.brickHitLatch ? 1 : 0, h.shownScore, h.lastJoyX, r.x, r.y, r.z, r.buttons,
                h.joyButton1Down, h.joyButton2Down);
  out += line;
  for (unsigned variant = 0; variant < 2; ++variant) {
    for (unsigned rank = 1; rank <= records::kTableRows; ++rank) {
      const records::TableRow& row = h.tables[variant][rank - 1];
      std::snprintf(line, sizeof line, "table %u %u %d ", variant, rank, row.score);
      out += line;
      AppendName(out, row.name);
      out += '\n';
    }
  }
  return out;
}

void AppendEvent(std::string& out, const Event& e) {
  char line[96];
  int length = 0;
  const auto& m = e.message;
  switch (e.kind) {
    case Kind::kTimer:
      length = std::snprintf(line, sizeof line, "t %02X\n", e.check);
      break;
    case Kind::kDispatch:
      length =
          std::snprintf(line, sizeof line, "d %X %" PRIu64 " %" PRId64 "\n", m.message,
                        static_cast<std::uint64_t>(m.wParam), static_cast<std::int64_t>(m.lParam));
      break;
    case Kind::kMouse:
      length = std::snprintf(line, sizeof line, "m %d %" PRId64 "\n", e.step,
                             static_cast<std::int64_t>(m.lParam));
      break;
    case Kind::kRightClick:
      length = std::snprintf(line, sizeof line, "r %d\n", e.step);
      break;
    case Kind::kJoystick:
      length = e.sameReading
                   ? std::snprintf(line, sizeof line, e.ok ? "j\n" : "j -\n")
                   : std::snprintf(line, sizeof line, "j %s%u %u %u %u\n", e.ok ? "" : "- ",
                                   e.reading.x, e.reading.y, e.reading.z, e.reading.buttons);
      break;
    case Kind::kAnswer:
      length = std::snprintf(line, sizeof line, "a %d\n", e.answer);
      break;
    case Kind::kHelp:
      length = std::snprintf(line, sizeof line, "h %d\n", e.ok ? 1 : 0);
      break;
    case Kind::kName:
      out += "n ";
      AppendName(out, e.text);
      out += '\n';
      return;
    default:  // q, p, o: the letter alone
      line[0] = static_cast<char>(e.kind);
      line[1] = '\n';
      length = 2;
      break;
  }
  out.append(line, static_cast<std::size_t>(length));
}

void AppendEnding(std::string& out, const Ending& ending) {
  char line[256];
  std::snprintf(line, sizeof line, "end %d %d %d %d %d %d %d %d %016" PRIX64 "\n", ending.scores[0],
                ending.scores[1], ending.scores[2], ending.scores[3], ending.balls[0],
                ending.balls[1], ending.balls[2], ending.balls[3], ending.surface);
  out += line;
}

std::optional<Replay> ParseReplay(std::string_view text, ParseError& error) {
  Replay replay;
  HeaderReader header(replay.header);
  int number = 0;
  bool ended = false;
  platform::JoystickReading lastReading;
  auto fail = [&](std::string message) {
    error = {number, std::move(message)};
    return std::nullopt;
  };
  while (!text.empty()) {
    ++number;
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) return fail("the last line is cut short");
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (ended) return fail("nothing may follow the end line");
    if (number == 1) {
      Words w(line);
      int version = 0;
      if (w.Next() != kFormatName || !w.Number(version) || !w.AtEnd()) {
        return fail("not a Krelmo '99 replay");
      }
      if (version != kFormatVersion) {
        return fail("format version " + std::to_string(version) + " is not the version " +
                    std::to_string(kFormatVersion) + " this game plays");
      }
      continue;
    }
    if (!header.Complete()) {
      std::string why;
      if (!header.Take(line, why)) return fail(why);
      continue;
    }
    if (line.starts_with("end")) {
      if (!ParseEnding(line, replay.ending)) return fail("a damaged end line");
      ended = true;
      continue;
    }
    Event event;
    if (!ParseEvent(line, event)) return fail("a damaged line");
    if (event.kind == Kind::kJoystick) {
      if (event.sameReading) event.reading = lastReading;
      lastReading = event.reading;
    }
    replay.events.push_back(std::move(event));
  }
  if (number == 0) return fail("the file is empty");
  if (!ended) {
    ++number;
    return fail("the file ends before its end line: it was cut short");
  }
  return replay;
}

}  // namespace krelmo::replay
