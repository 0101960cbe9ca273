// Collisions after each ball step. Bricks exist only as pixels: a hit is found by reading colours
// just outside the ball's cell, scored by the colour read, and removed by painting it black.
#include "engine/collision.h"

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

struct Probe {
  bool fired;
  int cellLeft;
  int cellTop;
  int colourX;  // where the struck brick's colour is read
  int colourY;
};

Probe MakeProbe(const platform::Surface& dc, int px, int py, int cellLeft, int cellTop) {
  return {dc.GetPixel(px, py) != 0, cellLeft, cellTop, cellLeft + 5, cellTop + 5};
}

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

  // Everything is read before anything changes.
  const auto& dc = engine.dc;
  const int x = s.ballX;
  const int y = s.ballY;
  const int side = (keptDX == 2 || keptDX == -2) ? 2 : 1;
  const int cA = CellLeftOf(x);
  const int cB = CellLeftOf(x + 8);
  const int cL = CellLeftOf(x - side);
  const int cR = CellLeftOf(x + 8 + side);
  const int rU = CellTopOf(y - 1);
  const int rT = CellTopOf(y);
  const int rB = CellTopOf(y + 8);
  const int rD = CellTopOf(y + 9);

  Probe topLeft = MakeProbe(dc, x, y - 1, cA, rU);
  const Probe topRight = MakeProbe(dc, x + 8, y - 1, cB, rU);
  const Probe bottomLeft = MakeProbe(dc, x, y + 9, cA, rD);
  const Probe bottomRight = MakeProbe(dc, x + 8, y + 9, cB, rD);
  Probe leftHigh = MakeProbe(dc, x - side, y, cL, rT);
  const Probe leftLow = MakeProbe(dc, x - side, y + 8, cL, rB);
  const Probe rightHigh = MakeProbe(dc, x + 8 + side, y, cR, rT);
  const Probe rightLow = MakeProbe(dc, x + 8 + side, y + 8, cR, rB);

  const bool down = keptDY > 0;
  const bool left = keptDX < 0;
  const Probe* vertical[2];
  const Probe* sides[2];
  if (down && left) {
    vertical[0] = &bottomLeft, vertical[1] = &bottomRight;
    sides[0] = &leftLow, sides[1] = &leftHigh;
  } else if (down) {
    vertical[0] = &bottomRight, vertical[1] = &bottomLeft;
    sides[0] = &rightLow, sides[1] = &rightHigh;
  } else if (left) {
    // Moving up-left, the struck colour is read at other points of the cell: a brick whose
    // top-left corner is damaged there scores nothing.
    topLeft.colourX = cA + 3;
    topLeft.colourY = rU + 3;
    leftHigh.colourX = cL;
    leftHigh.colourY = rT;
    vertical[0] = &topLeft, vertical[1] = &topRight;
    sides[0] = &leftHigh, sides[1] = &leftLow;
  } else {
    vertical[0] = &topRight, vertical[1] = &topLeft;
    sides[0] = &rightHigh, sides[1] = &rightLow;
  }

  for (const Probe* probe : vertical) {
    if (probe->fired && !s.brickHitLatch) {
      s.ballDY = Reversed(s.ballDY);
      s.brickHitLatch = true;
      Strike(engine, *probe);
    }
  }
  for (int i = 0; i < 2; ++i) {
    if (!sides[i]->fired) continue;
    s.ballDX = Reversed(s.ballDX);
    if (!s.brickHitLatch) {
      s.ballDY = Reversed(s.ballDY);
      s.brickHitLatch = true;
    }
    Strike(engine, *sides[i]);
    break;  // the second side probe acts only when the first did not
  }

  if (engine.settings.gameVariant == 1) {
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
