// Where things lie on the drawing surface: the frame's walls, the brick grid and its sample
// points, the ball, the paddle and the rows that decide whether the ball is in play.
#pragma once

#include <cstdint>

namespace krelmo::engine {

// The frame's silver walls: down the left edge, across the top and down the right edge of
// the client area. The scoreboard is written in the top wall.
constexpr int kLeftWallRight = 20;  // the first column right of the left wall
constexpr int kTopWallBottom = 20;  // the first row below the top wall
constexpr int kRightWallLeft = 621;

// The brick grid: 6 rows of 20 cells of 30 x 12 pixels from (21, 60), row 0 at the top. Each
// brick is drawn over its whole cell, so neighbouring bricks touch.
constexpr int kBrickRows = 6;
constexpr int kBrickColumns = 20;
constexpr int kBricks = kBrickRows * kBrickColumns;
constexpr int kCellWidth = 30;
constexpr int kCellHeight = 12;
constexpr int CellLeft(int column) {
  return 21 + kCellWidth * column;
}
constexpr int CellTop(int row) {
  return 60 + kCellHeight * row;
}

// The ball is an 8 x 8 square at (ballX, ballY).
constexpr int kBallSize = 8;
// The paddle: 60 pixels wide on rows 410 to 419; its left edge never lies left of the left
// wall, nor (driven by the mouse) beyond 561, so it stays between the side walls even where
// the windowing system cannot confine the pointer to its strip.
constexpr int kPaddleTop = 410;
constexpr int kPaddleBottom = 420;  // the first row below the paddle
constexpr int kPaddleWidth = 60;
constexpr int kPaddleLeftmost = kLeftWallRight;
constexpr std::int32_t kPaddleRightmostByMouse = 561;
// A ball resting on the paddle: where a serve puts it, and the top of the rows in which the
// paddle catches it.
constexpr int kBallOnPaddle = kPaddleTop - kBallSize;
// ballX - paddleX of a ball over the middle of the paddle, as a serve places it.
constexpr int kBallOverPaddleMiddle = (kPaddleWidth - kBallSize) / 2;
// From this row down the ball is out of play: lost, or waiting for a serve.
constexpr int kBallOutOfPlay = 470;
// Where the ball is parked out of play before a serve and during a pause.
constexpr int kBallParked = 480;

// Sample points, 6 pixels below a cell's top: the save point at cell left + 4, the repaint
// point at cell left + 14.
constexpr int SavePointX(int column) {
  return CellLeft(column) + 4;
}
constexpr int RepaintPointX(int column) {
  return CellLeft(column) + 14;
}
constexpr int SamplePointY(int row) {
  return CellTop(row) + 6;
}

}  // namespace krelmo::engine
