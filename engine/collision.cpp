// Collisions after each ball step. Bricks exist only as pixels: a hit is found by reading colours
// just outside the ball's cell, scored by the colour read, and removed by painting it black.
#include "engine/collision.h"

#include <array>
#include <optional>

#include "engine/frame.h"
#include "engine/geometry.h"
#include "engine/palette.h"
#include "engine/playfield.h"
#include "engine/sound_cues.h"

namespace krelmo::engine {

namespace {

constexpr int kTopLimit = 22;
constexpr int kLeftLimit = 21;
constexpr int kRightLimit = 611;
constexpr int kBandTop = 51;
constexpr int kBandBottom = 133;
constexpr int kRepaintGoingUp = 52;
constexpr int kRepaintGoingDown = 133;
// The rows of the ball's top in which the paddle catches it.
constexpr int kPaddleZoneTop = kBallOnPaddle;
constexpr int kPaddleZoneBottom = 414;

std::int16_t Reversed(std::int16_t step) {
  return static_cast<std::int16_t>(-step);
}

struct Recognised {
  std::int32_t points;
  Cue cue;
};

std::optional<Recognised> Recognise(std::uint32_t value) {
  switch (value) {
    case kMagenta:
      return Recognised{250, Cue::kMagentaBrick};
    case kBlue:
      return Recognised{100, Cue::kBlueBrick};
    case kGreen:
      return Recognised{50, Cue::kGreenBrick};
    case kYellow:
      return Recognised{25, Cue::kYellowBrick};
    case kOrange:
      return Recognised{10, Cue::kOrangeBrick};
    case kRed:
      return Recognised{5, Cue::kRedBrick};
    case kSilver:
    case kWhite:
      return Recognised{0, Cue::kWallOrPaddle};
    case kWallBonus:
      return Recognised{5000, Cue::kWallCleared};
    default:
      return std::nullopt;
  }
}

// The left edge of the brick cell holding pixel column px; columns 19 and 20 fall in the
// first cell, as the truncating division puts them.
int CellLeftOf(int px) {
  return (px - CellLeft(0)) / kCellWidth * kCellWidth + CellLeft(0);
}
// The grid's top lies on a multiple of the cell height.
int CellTopOf(int py) {
  return py / kCellHeight * kCellHeight;
}
static_assert(CellTop(0) % kCellHeight == 0);

// A pixel just outside the ball, and the brick cell it lies in.
struct Probe {
  bool fired;  // the pixel is not black
  int cellLeft;
  int cellTop;
  int colourX;  // where the struck brick's colour is read
  int colourY;
};

Probe ReadProbe(const platform::Surface& dc, int px, int py) {
  const int cellLeft = CellLeftOf(px);
  const int cellTop = CellTopOf(py);
  return {dc.GetPixel(px, py) != 0, cellLeft, cellTop, cellLeft + 5, cellTop + 5};
}

// The probes that can act on a ball at (x, y) moving (dx, dy), in the order they act: two in
// the row above or below it, then two in the column beside its leading side; of each pair,
// the one at the leading corner first.
struct Contacts {
  std::array<Probe, 2> vertical;
  std::array<Probe, 2> sides;
};

// Reads every probe before anything changes: a strike paints its cell black, which the
// probes after it must not see.
Contacts ReadContacts(const platform::Surface& dc, int x, int y, int dx, int dy) {
  const bool down = dy > 0;
  const bool left = dx < 0;
  // A ball moving two pixels sideways looks two pixels ahead.
  const int reach = (dx == 2 || dx == -2) ? 2 : 1;
  const int rowY = down ? y + 9 : y - 1;
  const int sideX = left ? x - reach : x + 8 + reach;
  const int leadingX = left ? x : x + 8;
  const int trailingX = left ? x + 8 : x;
  const int leadingY = down ? y + 8 : y;
  const int trailingY = down ? y : y + 8;
  Contacts contacts{{ReadProbe(dc, leadingX, rowY), ReadProbe(dc, trailingX, rowY)},
                    {ReadProbe(dc, sideX, leadingY), ReadProbe(dc, sideX, trailingY)}};
  if (left && !down) {
    // Moving up-left, the struck colour is read at other points of the cell: a brick whose
    // top-left corner is damaged there scores nothing.
    Probe& above = contacts.vertical[0];
    above.colourX = above.cellLeft + 3;
    above.colourY = above.cellTop + 3;
    Probe& beside = contacts.sides[0];
    beside.colourX = beside.cellLeft;
    beside.colourY = beside.cellTop;
  }
  return contacts;
}

// The colour is read as the strike comes, not with the probe: a cell that an earlier strike of
// the same step painted black scores nothing.
void Strike(Engine& engine, const Probe& probe) {
  ScoreHit(engine, engine.dc.GetPixel(probe.colourX, probe.colourY));
  engine.dc.SelectObject(blackBrush);
  engine.dc.Rectangle(probe.cellLeft, probe.cellTop, probe.cellLeft + kCellWidth,
                      probe.cellTop + kCellHeight);
}

void CatchOnPaddle(Engine& engine) {
  auto& s = engine.state;
  s.ballDY = -1;
  // A ball caught at either outer end is lifted to the top of the zone beside the paddle.
  if (s.ballX > s.paddleX + 58) {
    s.ballY = kPaddleZoneTop;
    s.ballX = static_cast<std::int16_t>(s.paddleX + 61);
  }
  if (s.ballX < s.paddleX - 6) {
    s.ballY = kPaddleZoneTop;
    s.ballX = static_cast<std::int16_t>(s.paddleX - 8);
  }
  ScoreHit(engine, kWhite);
  CheckWallCleared(engine);
  MovePaddle(engine, s.paddleX);
  const int d = s.ballX - s.paddleX;
  if (d >= 6 && d <= 20) {
    s.ballDX = -1;
  } else if (d >= 32 && d <= 48) {
    s.ballDX = 1;
  } else if (d >= -8 && d <= 5) {
    s.ballDX = -2;
  } else if (d >= 49 && d <= 61) {
    s.ballDX = 2;
  }
}

}  // namespace

void ResolveCollisions(Engine& engine) {
  auto& s = engine.state;
  if (s.ballY <= kTopLimit) {
    s.ballY = kTopLimit;
    s.ballDY = Reversed(s.ballDY);
    ScoreHit(engine, kSilver);
  }
  if (s.ballX <= kLeftLimit) {
    s.ballX = kLeftLimit;
    ScoreHit(engine, kSilver);
    s.ballDX = Reversed(s.ballDX);
  }
  if (s.ballX >= kRightLimit) {
    s.ballX = kRightLimit;
    ScoreHit(engine, kSilver);
    s.ballDX = Reversed(s.ballDX);
  }

  CheckBrickContacts(engine);

  // Leaving the band either way, the bricks the ball has painted over are drawn whole again.
  if ((s.ballY == kRepaintGoingUp && s.ballDY == -1) ||
      (s.ballY == kRepaintGoingDown && s.ballDY == 1)) {
    RedrawWall(engine, kAllSlots);
  }

  if (s.ballY >= kPaddleZoneTop && s.ballY <= kPaddleZoneBottom && s.ballX >= s.paddleX - 8 &&
      s.ballX <= s.paddleX + 61) {
    CatchOnPaddle(engine);
  }
}

void CheckBrickContacts(Engine& engine) {
  auto& s = engine.state;
  if (s.ballY < kBandTop || s.ballY > kBandBottom) {
    s.brickHitLatch = false;
    return;
  }
  const std::int16_t keptDX = s.ballDX;
  const std::int16_t keptDY = s.ballDY;
  const Contacts contacts = ReadContacts(engine.dc, s.ballX, s.ballY, keptDX, keptDY);

  for (const Probe& probe : contacts.vertical) {
    if (probe.fired && !s.brickHitLatch) {
      s.ballDY = Reversed(s.ballDY);
      s.brickHitLatch = true;
      Strike(engine, probe);
    }
  }
  for (const Probe& probe : contacts.sides) {
    if (!probe.fired) continue;
    s.ballDX = Reversed(s.ballDX);
    if (!s.brickHitLatch) {
      s.ballDY = Reversed(s.ballDY);
      s.brickHitLatch = true;
    }
    Strike(engine, probe);
    break;  // the second side probe acts only when the first did not
  }

  if (engine.settings.gameVariant == Variant::kVarnak) {
    s.ballDX = keptDX;
    s.ballDY = keptDY;
  }
}

void ScoreHit(Engine& engine, std::uint32_t value) {
  auto& s = engine.state;
  const std::uint32_t player = s.currentPlayer % kPlayerSlots;
  if (const auto recognised = Recognise(value)) {
    PlayCue(engine, recognised->cue);
    s.playerScore[player] += recognised->points;
  }
  if (CrossedExtraBallMark(s.shownScore, s.playerScore[player])) {
    s.ballsLeft[player] += 1;
    engine.hooks->DrawScoreboard();
    PlayCue(engine, Cue::kExtraBall);
  }
  engine.hooks->DrawScoreboard();
}

bool CrossedExtraBallMark(std::int32_t a, std::int32_t b) {
  return a / kPointsPerExtraBall != b / kPointsPerExtraBall;
}

void CheckWallCleared(Engine& engine) {
  for (int row = 0; row < kBrickRows; ++row) {
    for (int column = 0; column < kBrickColumns; ++column) {
      if (engine.dc.GetPixel(SavePointX(column), SamplePointY(row)) != 0) return;
    }
  }
  ScoreHit(engine, kWallBonus);
  DrawFullWall(engine);
  auto& stepDelay = engine.state.stepDelay;
  if (stepDelay > 2550) {
    stepDelay -= 650;
  } else if (stepDelay > kFastestStepDelay) {
    stepDelay -= 50;
  }
}

}  // namespace krelmo::engine
