// The platform's services: the drawing surface (rectangles, exact colour read-back, clipping,
// text on its opaque box); the message queue (order, filters, coalesced ticks and moves, quit);
// the registry file store (what it keeps, the files it reads, the old file kept whole when a
// save fails, a copy kept elsewhere). The sound is tested in audio_power_test.cpp, the timing
// module in tests/timing.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/palette.h"
#include "platform/clock.h"
#include "platform/message_queue.h"
#include "platform/pc_hardware.h"
#include "platform/registry.h"
#include "platform/surface.h"
#include "records/records.h"
#include "resources/fonts/game_font.h"

namespace krelmo {
namespace {

using platform::Surface;

class SurfaceTest : public ::testing::Test {
 protected:
  // Counts the pixels of one colour over the whole surface.
  int CountColour(Colour colour) const {
    int n = 0;
    for (int y = 0; y < Surface::kHeight; ++y)
      for (int x = 0; x < Surface::kWidth; ++x) n += dc.GetPixel(x, y) == colour;
    return n;
  }
  Surface dc;
};

TEST_F(SurfaceTest, RectanglePaintsRingInPenAndInsideInBrushWithRightAndBottomExcluded) {
  dc.SelectObject(engine::blackPen);
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(10, 10, 18, 18);
  for (int y = 8; y < 20; ++y) {
    for (int x = 8; x < 20; ++x) {
      const bool inside = x >= 10 && x <= 17 && y >= 10 && y <= 17;
      const bool ring = inside && (x == 10 || x == 17 || y == 10 || y == 17);
      const Colour expected = ring ? engine::kRed : inside ? engine::kWhite : 0;
      EXPECT_EQ(dc.GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(SurfaceTest, EmptyThinReversedAndClippedRectangles) {
  dc.SelectObject(engine::whiteBrush);
  dc.SelectObject(Pen{engine::kRed});
  dc.Rectangle(100, 100, 100, 108);  // zero width
  dc.Rectangle(100, 100, 108, 100);  // zero height
  // Wholly outside on each side.
  for (const auto& [l, t, r, b] :
       {std::array{-100, 10, -1, 20}, {640, 10, 700, 20}, {10, -100, 20, 0}, {10, 480, 20, 600}}) {
    dc.Rectangle(l, t, r, b);
  }
  EXPECT_EQ(CountColour(0), Surface::kWidth * Surface::kHeight);
  dc.Rectangle(50, 50, 51, 60);
  EXPECT_EQ(CountColour(engine::kRed), 10) << "one pixel wide is all ring";
  dc.Rectangle(18, 18, 10, 10);  // reversed
  EXPECT_EQ((std::array{dc.GetPixel(10, 10), dc.GetPixel(12, 12), dc.GetPixel(18, 18)}),
            (std::array{engine::kRed, engine::kWhite, Colour{0}}));
  dc.Rectangle(636, 476, 645, 490);  // bottom-right corner: the near ring and the inside show
  EXPECT_EQ(dc.GetPixel(636, 476), engine::kRed);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kWhite);
  dc.Rectangle(-5, -5, 3, 3);  // top-left corner: the inside and the far ring
  EXPECT_EQ(dc.GetPixel(0, 0), engine::kWhite);
  EXPECT_EQ(dc.GetPixel(2, 0), engine::kRed);
  // A huge rectangle paints the whole surface inside, its ring off-screen; outside reads black.
  dc.Rectangle(-1000, -1000, 5000, 5000);
  EXPECT_EQ(CountColour(engine::kWhite), Surface::kWidth * Surface::kHeight);
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {640, 0}, {0, 480}}) {
    EXPECT_EQ(dc.GetPixel(x, y), 0u) << x << "," << y;
  }
}

TEST_F(SurfaceTest, TextStandsOnAnOpaqueBoxOfTheBackgroundColour) {
  dc.SetTextColor(engine::kRed);
  dc.SetBkColor(engine::kSilver);
  dc.TextOutA(10, 0, "B:4");
  // The block font inks columns 1-6 and rows 3-12 of each 8 x 16 cell.
  EXPECT_EQ(dc.GetPixel(12, 5), engine::kRed);
  EXPECT_EQ(dc.GetPixel(10, 0), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(33, 15), engine::kSilver);
  EXPECT_EQ(dc.GetPixel(34, 5), 0u) << "the box ends with the text";
  // Clipped at the edges.
  dc.SetBkColor(engine::kBlue);
  dc.TextOutA(630, 470, "clipped text");
  dc.TextOutA(-50, -10, "clipped text");
  EXPECT_EQ(dc.GetPixel(639, 470), engine::kBlue);
  EXPECT_EQ(dc.GetPixel(639, 479), engine::kRed) << "ink of the second character";
  EXPECT_EQ(dc.GetPixel(0, 5), engine::kBlue) << "bottom row of a character cell";
}

// A text drawn again where it stands repaints only what changed. Each row draws its first
// text, does something in between, and draws its second text: its box must hold the
// second text whole, and everything else stay as it was.
TEST(SurfaceText, RedrawingAStandingTextLeavesTheNewTextWholeAndTheRestAsItWas) {
  using Between = std::function<void(Surface&)>;
  const Between nothing = [](Surface&) {};
  struct Row {
    const char* what;
    std::string first;
    Between between;
    std::string second;
  };
  const Row rows[] = {
      {"a shorter text leaves the old tail", "B:10", nothing, "B:9"},
      {"a glyph that inks left of its pen goes", "1j", nothing, "1a"},
      {"the same text over another text", "Game Over", [](Surface& s) { s.TextOutA(25, 98, "xx"); },
       "Game Over"},
      {"the same text, a rectangle elsewhere", "Game Over",
       [](Surface& s) { s.Rectangle(300, 300, 310, 310); }, "Game Over"},
  };
  for (const Row& row : rows) {
    Surface drawn;
    drawn.SetFont(&resources::kGameFont);
    drawn.SetTextColor(engine::kRed);
    drawn.SetBkColor(engine::kSilver);
    drawn.SelectObject(engine::whiteBrush);
    drawn.TextOutA(20, 95, row.first);
    row.between(drawn);
    const Surface before = drawn;
    drawn.TextOutA(20, 95, row.second);
    const auto mask = platform::RenderText(drawn.Font(), row.second);
    int differ = 0;
    for (int y = 85; y < 125; ++y) {
      for (int x = 0; x < 200; ++x) {
        const bool boxed = x >= 20 && x < 20 + mask.width && y >= 95 && y < 95 + mask.height;
        const Colour want = !boxed                    ? before.GetPixel(x, y)
                            : mask.At(x - 20, y - 95) ? drawn.TextColor()
                                                      : drawn.BkColor();
        differ += drawn.GetPixel(x, y) != want;
      }
    }
    EXPECT_EQ(differ, 0) << row.what;
  }
}

using platform::MessageQueue;

// Ticks are coalesced to one pending per timer; ticks and quit come after posted messages; a
// filter takes the oldest match and leaves the rest; a peek without remove leaves it queued.
TEST(MessageQueue, FiltersTakeTheOldestMatchAndTicksAndQuitComeLast) {
  MessageQueue q;
  q.PostTimer(1);
  q.PostTimer(1);
  q.PostTimer(2);
  q.PostQuitMessage(3);
  q.PostMessage(WM_KEYDOWN, VK_F2, 3);
  q.PostMessage(WM_MOUSEMOVE, 0, 100);
  q.PostMessage(WM_RBUTTONDOWN, 1, 2);
  Message m;
  EXPECT_FALSE(q.PeekMessage(m, WM_LBUTTONDOWN, WM_LBUTTONDOWN, true));
  ASSERT_TRUE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  EXPECT_EQ(m.lParam, 100);
  std::vector<std::pair<MessageId, WPARAM>> taken;
  for (int i = 0; i < 8 && q.PeekMessage(m, 0, 0, true); ++i)
    taken.emplace_back(m.message, m.wParam);
  EXPECT_EQ(
      taken,
      (std::vector<std::pair<MessageId, WPARAM>>{
          {WM_KEYDOWN, VK_F2}, {WM_RBUTTONDOWN, 1}, {WM_QUIT, 3}, {WM_TIMER, 1}, {WM_TIMER, 2}}));
  q.PostTimer(1);  // due again once the pending one was taken, as is a move
  q.PostMessage(WM_MOUSEMOVE, 0, 2);
  EXPECT_EQ(q.Size(), 2u);
}

// Each row posts its messages in order (a move's lParam is its x) and lists what comes out.
TEST(MessageQueue, AMouseMoveMergesIntoAWaitingMoveThatNoClickOrKeyFollows) {
  struct Row {
    const char* what;
    std::vector<Message> posted;
    std::vector<Message> taken;
  };
  const Message key{WM_KEYDOWN, VK_F3, 0};
  const Message click{WM_LBUTTONDOWN, 1, 7};
  const Message command{WM_COMMAND, 40001, 0};
  const Row rows[] = {
      {"moves in a row",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 1, 2}, {WM_MOUSEMOVE, 2, 3}},
       {{WM_MOUSEMOVE, 2, 3}}},
      {"a click between",
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}}},
      {"a key between",
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 2}, {WM_MOUSEMOVE, 0, 3}},
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 3}}},
      {"a command is no input",
       {{WM_MOUSEMOVE, 0, 1}, command, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 2}, command}},
      {"a click after",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 0, 2}, click},
       {{WM_MOUSEMOVE, 0, 2}, click}},
  };
  for (const Row& row : rows) {
    MessageQueue q;
    for (const Message& m : row.posted) q.PostMessage(m.message, m.wParam, m.lParam);
    std::vector<Message> taken;
    Message m;
    while (q.PeekMessage(m, 0, 0, true)) taken.push_back(m);
    const auto fields = [](const std::vector<Message>& ms) {
      std::vector<std::tuple<MessageId, WPARAM, LPARAM>> out;
      for (const Message& m : ms) out.emplace_back(m.message, m.wParam, m.lParam);
      return out;
    };
    EXPECT_EQ(fields(taken), fields(row.taken)) << row.what;
  }
}

}  // namespace

namespace platform {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "HKEY_LOCAL_MACHINE\\" + std::string(records::kGameKey);
using Values = std::vector<std::pair<std::string, RegValue>>;

struct TempFolder {
  TempFolder() {
    std::random_device random;
    do {
      path = fs::temp_directory_path() / ("krelmo-registry-" + std::to_string(random()));
    } while (!fs::create_directory(path));
  }
  ~TempFolder() { fs::remove_all(path); }
  std::string File(std::string_view name) const { return (path / name).string(); }
  std::ptrdiff_t Files() const {
    return std::distance(fs::directory_iterator(path), fs::directory_iterator());
  }
  fs::path path;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// Creates the game's key, sets the values given, and closes it (which saves).
LONG SetValues(Registry& registry, const Values& values) {
  HKEY key = 0;
  registry.RegCreateKeyExA(HKEY_LOCAL_MACHINE, records::kGameKey, 0, "", 0, KEY_ALL_ACCESS, nullptr,
                           &key, nullptr);
  for (const auto& [name, value] : values) {
    registry.RegSetValueExA(key, name, 0, value.type, value.data.data(),
                            static_cast<std::uint32_t>(value.data.size()));
  }
  return registry.RegCloseKey(key);
}
const Values kAnn = {{"HSName1", {REG_SZ, Bytes(std::string_view("Ann\0", 4))}}};

// UTF-16 text as the registry editor writes it: little-endian.
std::string Utf16(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

TEST(RegistryFile, EveryValueIsWrittenAsTheRegistryEditorExportsItAndComesBackWhole) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  std::vector<std::uint8_t> thirty(30);
  std::iota(thirty.begin(), thirty.end(), std::uint8_t{0});
  Registry written(path);
  HKEY maker = 0;  // a key holding no value, as the editors write such keys
  written.RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\By Tenvarre", 0, "", 0, KEY_ALL_ACCESS,
                          nullptr, &maker, nullptr);
  written.RegCloseKey(maker);
  ASSERT_EQ(
      SetValues(written,
                {{"HSScore1", {REG_DWORD, {0x40, 0x1F, 0, 0}}},
                 {"Quote \"and\" back\\slash", {REG_SZ, Bytes(std::string_view("a\"b\\\0", 5))}},
                 // Windows-1252 above 127: the euro sign and a byte the code page leaves free.
                 {"Z\xF6\x80", {REG_SZ, Bytes(std::string_view("Zo\xEB \x80\x81\x9F\xFF\0", 9))}},
                 {"No terminator", {REG_SZ, Bytes("Player")}},
                 {"Two lines", {REG_SZ, Bytes(std::string_view("a\r\nb\0", 5))}},
                 {"Long", {3, thirty}},
                 {"", {3, {0, 0xFF, 0x10}}}}),
      ERROR_SUCCESS)
      << written.WriteError();
  // Strings that a quoted line cannot hold go as hex(1); hex data breaks after the comma that
  // reaches column 77, as the registry editor breaks it.
  EXPECT_EQ(
      ReadAll(path),
      Utf16(u"\uFEFFWindows Registry Editor Version 5.00\r\n"
            u"\r\n"
            u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre]\r\n"
            u"\r\n"
            u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]\r\n"
            u"@=hex:00,ff,10\r\n"
            u"\"HSScore1\"=dword:00001f40\r\n"
            u"\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
            u"  16,17,18,19,1a,1b,1c,1d\r\n"
            u"\"No terminator\"=hex(1):50,00,6c,00,61,00,79,00,65,00,72,00\r\n"
            u"\"Quote \\\"and\\\" back\\\\slash\"=\"a\\\"b\\\\\"\r\n"
            u"\"Two lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"
            u"\"Z\u00F6\u20AC\"=\"Zo\u00EB \u20AC\u0081\u0178\u00FF\"\r\n"
            u"\r\n"));
  EXPECT_EQ(Registry(path).Tree(), written.Tree());
}

TEST(RegistryFile, EveryFormerFormAndTheEditorsExportsAreRead) {
  const std::string key = "[" + kKey + "]\r\n";
  const std::string name = "Zo\xEB \x80";  // in Windows-1252, as the game keeps it
  const std::vector<std::pair<const char*, std::string>> files = {
      // What earlier versions of the game wrote: UTF-8 with a byte-order mark.
      {"UTF-8 with BOM", "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n" + key +
                             "\"HSName1\"=\"Zo\xC3\xAB \xE2\x82\xAC\"\r\n"},
      // Typed by hand, or by a script.
      {"UTF-8", "Windows Registry Editor Version 5.00\n\n" + key +
                    "\"HSName1\"=\"Zo\xC3\xAB \xE2\x82\xAC\"\n"},
      {"REGEDIT4 in Windows-1252", "REGEDIT4\r\n\r\n" + key + "\"HSName1\"=\"" + name + "\"\r\n"},
      // Windows' registry editor: hex(1) over two lines.
      {"Windows' export", Utf16(u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]\r\n"
                                u"\"HSName1\"=\"Zo\u00EB \u20AC\"\r\n"
                                u"\"HSName2\"=hex(1):41,00,\\\r\n  42,00,00,00\r\n\r\n")},
      // Wine's (regedit /E): an empty line before each key, escapes for line breaks and zeros.
      {"Wine's export", Utf16(u"\uFEFFWindows Registry Editor Version 5.00\r\n"
                              u"\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre]\r\n"
                              u"\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99]\r\n"
                              u"\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre\\Krelmo'99\\v2]\r\n"
                              u"\"HSScore1\"=dword:00001f40\r\n"
                              u"\"HSName1\"=\"Zo\u00EB \u20AC\"\r\n"
                              u"\"Lines\"=\"a\\r\\nb\\0c\"\r\n"
                              u"\r\n")},
  };
  for (const auto& [what, bytes] : files) {
    std::string why;
    const auto tree = ParseRegText(bytes, &why);
    ASSERT_TRUE(tree) << what << ": " << why;
    EXPECT_EQ(tree->at(kKey).at("HSName1").data, Bytes(std::string_view(name.c_str(), 6))) << what;
  }
  EXPECT_EQ(ParseRegText(files[3].second)->at(kKey).at("hsname2").data,
            Bytes(std::string_view("AB\0", 3)));
  const auto wine = ParseRegText(files[4].second);
  EXPECT_EQ(wine->at(kKey).at("HSScore1").data, (std::vector<std::uint8_t>{0x40, 0x1F, 0, 0}));
  EXPECT_EQ(wine->at(kKey).at("Lines").data, Bytes(std::string_view("a\r\nb\0c\0", 7)));
}

// A damaged file is never lost nor overwritten: it goes to the first free name beside it, and
// the game starts afresh; with every name taken it stays as it is and no save replaces it.
TEST(RegistryFile, ADamagedFileIsMovedToTheFirstFreeNameOrElseKeptAndReadsAsAFirstRun) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  const auto aside = [&](int n) { return path + ".damaged-" + std::to_string(n); };
  const auto kept = [](int n) { return "damaged file " + std::to_string(n); };
  Registry good(path);
  SetValues(good, kAnn);
  const std::string whole = ReadAll(path);
  // A file cut short inside a string, with a gap among the files kept before.
  const std::string cut = whole.substr(0, whole.find("Ann") + 2);
  for (const int n : {1, 2, 4}) WriteAll(aside(n), kept(n));
  WriteAll(path, cut);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(Registry(path).Tree().empty()) << "a first run";
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(ReadAll(aside(3)), cut);
  EXPECT_EQ(ReadAll(aside(4)), kept(4));
  EXPECT_NE(said.find(aside(3)), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

  // Every name taken: the game starts afresh in memory, says so, and every save fails saying why.
  for (int n = 1; n <= 999; ++n) WriteAll(aside(n), kept(n));
  const std::string damaged = "not a registry file";
  WriteAll(path, damaged);
  ::testing::internal::CaptureStderr();
  Registry registry(path);
  said = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(registry.Tree().empty()) << "a first run";
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find(path), std::string::npos) << said;
  EXPECT_NE(SetValues(registry, kAnn), ERROR_SUCCESS);
  EXPECT_NE(registry.WriteError().find(".damaged-999"), std::string::npos) << registry.WriteError();
  EXPECT_EQ(ReadAll(path), damaged);
  for (int n = 1; n <= 999; ++n) ASSERT_EQ(ReadAll(aside(n)), kept(n)) << aside(n);
  EXPECT_EQ(folder.Files(), 1000) << "no temporary file is left behind";
}

#ifndef _WIN32
// Sets the soft limit on file sizes for as long as it lives: writes beyond it fail as on a
// full disk.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
  }
  rlimit saved{};
};
#endif

TEST(RegistryFile, AFailedSaveLeavesTheOldFileWholeSaysWhyAndTriesAgainLater) {
  TempFolder folder;
  const std::string path = folder.File("krelmo.reg");
  Registry registry(path);
  ASSERT_EQ(SetValues(registry, kAnn), ERROR_SUCCESS);
#ifndef _WIN32  // the full disk is a limit on file sizes, which Windows does not have
  const std::string old = ReadAll(path);
  const std::string longName(400, 'x');
  {
    FileSizeLimit full(old.size() + 10);
    EXPECT_NE(SetValues(registry, {{longName, {REG_SZ, Bytes(std::string_view("B\0", 2))}}}),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_NE(registry.WriteError().find(path), std::string::npos) << registry.WriteError();
  EXPECT_EQ(folder.Files(), 1) << "no temporary file is left behind";
  // With room again, the next save writes what the failed one could not.
  HKEY key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, records::kGameKey, 0, KEY_ALL_ACCESS, &key);
  EXPECT_EQ(registry.RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Registry(path).Tree().at(kKey).count(longName), 1u);
#endif

  // A file that cannot be replaced: a folder stands in its place.
  Registry taken(folder.File("taken.reg"));
  fs::create_directories(folder.path / "taken.reg" / "x");
  EXPECT_NE(SetValues(taken, {}), ERROR_SUCCESS);
  // The reason names what stood in the way (Windows words the rest otherwise).
  EXPECT_EQ(taken.WriteError().rfind(folder.File("taken.reg") + ": ", 0), 0u) << taken.WriteError();
  EXPECT_EQ(folder.Files(), 2) << "no temporary file is left behind";
}

// Kept elsewhere as well, as the page keeps it in the browser's storage: a copy that fails
// fails the save, says why, and is tried again at the next flush.
TEST(RegistryFile, ACopyKeptElsewhereThatFailsFailsTheSaveSaysWhyAndIsTriedAgain) {
  TempFolder folder;
  const std::string path = folder.File("krelmo99.reg");
  const std::string full = "the browser did not keep it: QuotaExceededError";
  Registry registry(path);
  int copies = 0;
  bool storageFull = true;
  registry.onWritten = [&](std::string& error) {
    ++copies;
    EXPECT_EQ(Registry(path).Tree().size(), 1u) << "the copy is made of the file as written";
    if (storageFull) error = full;
    return !storageFull;
  };
  EXPECT_EQ(SetValues(registry, kAnn), ERROR_WRITE_FAULT);
  EXPECT_EQ(registry.WriteError(), full);
  EXPECT_EQ(copies, 1);

  storageFull = false;
  HKEY key = 0;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, records::kGameKey, 0, KEY_ALL_ACCESS, &key);
  EXPECT_EQ(registry.RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.WriteError(), "");
  EXPECT_EQ(copies, 2);
  // Nothing changed since: nothing to write, nothing to copy.
  EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(copies, 2);
}

}  // namespace
}  // namespace platform
}  // namespace krelmo
