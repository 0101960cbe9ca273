// The status line across the top wall: "Player n) score" and "B:balls" in red for the
// player whose turn it is, and the other players' scores in blue (balls left) or black.
#include "status/scoreboard.h"

#include <cstdio>

#include "engine/palette.h"

namespace krelmo::status {

namespace {

// The left edge of each other player's score, by the number of other players shown: they
// stand in ascending order, 100 pixels apart, the last always at x 510.
constexpr int kLastOtherX = 510;
constexpr int kOtherSpacing = 100;

void DrawText(platform::Surface& dc, int x, const char* format, int a, int b) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, format, a, b);
  if (length > 0) dc.TextOutA(x, 0, std::string_view(text, static_cast<std::size_t>(length)));
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
