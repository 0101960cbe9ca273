// The replay file: what is written reads back the same, anything else is refused by line,
// and the folder keeps the newest fifty, whole.
#include "replay/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "replay/store.h"

namespace krelmo::replay {
namespace {

std::string Text(const Replay& r) {
  std::string text = FormatHeader(r.header);
  for (const Event& e : r.events) AppendEvent(text, e);
  AppendEnding(text, r.ending);
  return text;
}

Replay Sample() {
  Replay r;
  r.header.seed = 4294967295u;
  r.header.settings = {3, engine::Variant::kVarnak, true, false, false};
  r.header.paddleX = -5;
  r.header.lastJoyX = engine::kNoJoystickMoveYet;
  r.header.joyInfo = {1, 2, 3, 2};
  for (auto& table : r.header.tables) {
    for (int i = 0; i < 5; ++i) table[i] = {8000 - 1000 * i, "Player 1"};
  }
  r.header.tables[1][2] = {-7, "A\\b\t\x7F\xE9 "};
  r.header.tables[0][4] = {0, ""};
  const auto add = [&r](Kind kind, auto fill) {
    Event e(kind);
    fill(e);
    r.events.push_back(e);
  };
  add(Kind::kTimer, [](Event& e) { e.check = 0xAB; });
  add(Kind::kDispatch, [](Event& e) { e.message = {WM_KEYDOWN, VK_F3, -2}; });
  add(Kind::kMouse, [](Event& e) { e.step = 119, e.message = {WM_MOUSEMOVE, 0, 561}; });
  add(Kind::kRightClick, [](Event& e) { e.step = 12, e.message.message = WM_RBUTTONDOWN; });
  add(Kind::kJoystick, [](Event& e) { e.reading = {65535, 0, 7, 3}; });
  add(Kind::kJoystick, [](Event& e) { e.reading = {65535, 0, 7, 3}, e.sameReading = true; });
  add(Kind::kJoystick, [](Event& e) { e.ok = false, e.reading = {32767, 32767, 32767, 0}; });
  add(Kind::kPoll, [](Event&) {});
  add(Kind::kAnswer, [](Event& e) { e.answer = 6; });
  add(Kind::kName, [](Event& e) { e.text = "\\x41"; });
  add(Kind::kHelp, [](Event& e) { e.ok = false; });
  add(Kind::kAbout, [](Event&) {});
  add(Kind::kQuit, [](Event& e) { e.message.message = WM_QUIT; });
  r.ending = {{12, -1, 0, 2147483647}, {0, 1, 2, 3}, 0xFEDCBA9876543210ull};
  return r;
}

TEST(ReplayFile, WhatIsWrittenReadsBackTheSame) {
  const Replay sample = Sample();
  const std::string text = Text(sample);
  ParseError error;
  const auto parsed = ParseReplay(text, error);
  ASSERT_TRUE(parsed) << error.line << ": " << error.message;
  EXPECT_EQ(Text(*parsed), text);
  EXPECT_EQ(parsed->header.tables[1][2].name, "A\\b\t\x7F\xE9 ");
  EXPECT_EQ(parsed->header.tables[0][4].name, "");
  EXPECT_EQ(parsed->header.settings.numPlayers, 3u);
  EXPECT_EQ(parsed->events[5].reading.x, 65535u) << "a reading like the last takes its values";
  EXPECT_FALSE(parsed->events[6].ok);
  EXPECT_EQ(parsed->events[9].text, "\\x41");
  EXPECT_EQ(parsed->ending, sample.ending);
  EXPECT_NE(text.find("\nj\n"), std::string::npos);
  // Line ends from another system read the same.
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(ParseReplay(crlf, error));
}

TEST(ReplayFile, ForeignDamagedAndShortFilesAreRefusedByLine) {
  const std::string good = Text(Sample());
  const auto lineStart = [&good](int line) {
    std::size_t at = 0;
    for (int i = 1; i < line; ++i) at = good.find('\n', at) + 1;
    return at;
  };
  const auto replaced = [&](int line, const std::string& with) {
    const std::size_t at = lineStart(line);
    return good.substr(0, at) + with + good.substr(good.find('\n', at));
  };
  struct Case {
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"", 0, "empty"},
      {"P1\n", 1, "not a Krelmo '99 replay"},
      {"krelmo99-replay 2\nseed 1\n", 1, "format version 2"},
      {good.substr(0, lineStart(4)), 4, "cut short"},
      {good.substr(0, good.size() - 1), 29, "cut short"},
      {good.substr(0, lineStart(29)), 29, "cut short"},
      {good + "t 00\n", 30, "nothing may follow"},
      {replaced(3, "settings 5 0 1 1 1"), 3, "\"settings\""},
      {replaced(7, "table 0 3 6000 Player 1"), 7, "\"table\""},
      {replaced(8, "table 0 3 6000 Bad\\x4"), 8, "\"table\""},
      {replaced(17, "m 119"), 17, "damaged"},
      {replaced(17, "m 119 561 1"), 17, "damaged"},
      {replaced(17, "m 120 561"), 17, "damaged"},
      {replaced(16, "t zz"), 16, "damaged"},
      {replaced(16, "t -7"), 16, "damaged"},
      {replaced(17, "x 1"), 17, "damaged"},
      {replaced(17, "d 12 0 0"), 17, "damaged"},  // the quit only as 'q'
      {replaced(24, "a"), 24, "damaged"},
      {replaced(26, "h 2"), 26, "damaged"},
      {replaced(29, "end 1 2 3"), 29, "end line"},
  };
  for (const Case& c : cases) {
    ParseError error;
    EXPECT_FALSE(ParseReplay(c.text, error)) << c.says;
    EXPECT_EQ(error.line, c.line) << c.says << ": " << error.message;
    EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
  }
}

TEST(ReplayStore, FilesAreNamedByTimeWrittenWholeAndTheNewestFiftyKept) {
  // A folder of this run's own: other runs of the suite may share the temporary folder.
  const auto folder = std::filesystem::path(::testing::TempDir()) /
                      ("krelmo-replays-" + std::to_string(std::random_device{}()));
  std::filesystem::remove_all(folder);
  ReplayStore store(folder.string());
  std::string error;
  const std::time_t start = 1'800'000'000;
  for (int i = 0; i < 52; ++i) {
    const std::string path = store.Save("match " + std::to_string(i), start + i / 2, error);
    ASSERT_FALSE(path.empty()) << error;
  }
  const auto kept = store.List();
  ASSERT_EQ(kept.size(), kReplaysKept);
  EXPECT_EQ(ReadReplayFile(kept.front(), error), "match 2");
  EXPECT_EQ(ReadReplayFile(kept.back(), error), "match 51");
  EXPECT_NE(kept.back().find("_2.replay"), std::string::npos) << kept.back();
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, kReplaysKept) << "a temporary file was left behind";

  // Plain text reads as it is; a compressed file cut short is refused, and says so.
  std::ofstream(folder / "plain", std::ios::binary) << "krelmo99-replay 1\n";
  EXPECT_EQ(ReadReplayFile((folder / "plain").string(), error), "krelmo99-replay 1\n");
  const std::string packed = Compress(std::string(5000, 'm'));
  std::ofstream(folder / "cut", std::ios::binary) << packed.substr(0, packed.size() / 2);
  EXPECT_FALSE(ReadReplayFile((folder / "cut").string(), error));
  EXPECT_NE(error.find("cut short"), std::string::npos) << error;
  EXPECT_FALSE(ReadReplayFile((folder / "missing").string(), error));

  // A folder that cannot be made: nothing written, and why.
  ReplayStore blocked((folder / "match 0" / "below").string());
  std::ofstream(folder / "match 0") << "a file, not a folder";
  EXPECT_TRUE(blocked.Save("x", start, error).empty());
  EXPECT_FALSE(error.empty());
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace krelmo::replay
