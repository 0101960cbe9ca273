// The status line across the top wall: "Player n) score" and "B:balls" in red for the
// player whose turn it is, and the other players' scores in blue (balls left) or black.
#include "status/scoreboard.h"

#include <array>
#include <charconv>

#include "engine/palette.h"

namespace krelmo::status {

namespace {

// The left edge of each other player's score, by the number of other players shown: they
// stand in ascending order, 100 pixels apart, the last always at x 510.
constexpr int kLastOtherX = 510;
constexpr int kOtherSpacing = 100;

// Formats as printf does with only "%i" conversions, each taking the next number: the
// scoreboard is redrawn on every brick hit, and printf costs more than the drawing.
void DrawText(platform::Surface& dc, int x, const char* format, int a, int b) {
  std::array<char, 64> text;
  char* end = text.data();
  const int numbers[] = {a, b};
  int next = 0;
  for (const char* f = format; *f != '\0'; ++f) {
    if (f[0] == '%' && f[1] == 'i' && next < 2) {
      end = std::to_chars(end, text.data() + text.size(), numbers[next++]).ptr;
      ++f;
    } else {
      *end++ = *f;
    }
  }
  dc.TextOutA(x, 0, std::string_view(text.data(), static_cast<std::size_t>(end - text.data())));
}

}  // namespace

void DrawScoreboard(engine::Engine& engine) {
  auto& s = engine.state;
  auto& dc = engine.dc;
  if (s.playerScore[0] == 0 && !engine.match.gameActive) return;

  const Colour keptBackground = dc.SetBkColor(engine::kSilver);
  dc.SetTextColor(engine::kRed);
  const std::uint32_t current = s.currentPlayer & 3;
  s.shownScore = s.playerScore[current];
  DrawText(dc, 10, "Player %i) %i", static_cast<int>(current) + 1, s.shownScore);
  DrawText(dc, 150, "B:%i", s.ballsLeft[current], 0);

  const std::uint32_t players = (engine.settings.numPlayers & 3) + 1;
  const int others = static_cast<int>(players) - 1;
  int slot = 0;
  for (std::uint32_t player = 0; player < players; ++player) {
    if (player == current) continue;
    dc.SetTextColor(s.ballsLeft[player] >= 1 ? engine::kBlue : engine::kBlack);
    const int x = kLastOtherX - kOtherSpacing * (others - 1 - slot);
    DrawText(dc, x, "%i) %i", static_cast<int>(player) + 1, s.playerScore[player]);
    ++slot;
  }

  dc.SelectObject(engine::blackPen);
  dc.SetBkColor(keptBackground);
}

}  // namespace krelmo::status
