// krelmo-latency: how long a mouse move takes, inside a running frame, from the window
// system's event to the paddle drawn on the surface: after a single move, and after the last
// move of a fast swing (four moves a step, as a mouse reporting at 1,000 Hz sends them).
// Prints percentiles over many moves.
#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/game.h"
#include "engine/palette.h"
#include "frontend/qt/qt_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
  return values[index];
}

constexpr int kSwingMovesPerStep = 4;
constexpr int kSwingMoves = 100;  // of 2 pixels: a swing over 200 pixels in 25 steps

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  krelmo::qt::QtPlatform host;
  krelmo::app::Game game(host.Get());
  host.window.show();
  game.InitApplication();
  auto& engine = game.engine;

  game.StartNewGame();
  game.ServeBall();

  auto* view = &host.window.View();
  const auto sendMove = [view](int x) {
    // As the window system would deliver it.
    const QPointF local(x, krelmo::app::kPointerStripY);
    QCoreApplication::postEvent(
        view, new QMouseEvent(QEvent::MouseMove, local, view->mapToGlobal(local), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier));
  };

  // Each step's end looks whether the paddle now stands where the last move put it; once it
  // does, the next single move or swing begins.
  bool swing = false;
  std::vector<double> singleMs;
  std::vector<double> swingMs;
  int target = -1;
  int swingLeft = 0;
  int x = 100;
  int direction = 1;
  Clock::time_point sent;
  engine.onStepEnd = [&] {
    auto& s = engine.state;
    // Keep the ball in play: it never falls below the paddle's row.
    if (s.ballY > 380) s.ballDY = -1;
    if (swingLeft > 0) {
      for (int i = 0; i < kSwingMovesPerStep && swingLeft > 0; ++i, --swingLeft) {
        x += 2 * direction;
        sendMove(x);
      }
      if (swingLeft == 0) sent = Clock::now();
      return;
    }
    if (target >= 0 && s.paddleX == target &&
        host.surface.GetPixel(target + 30, 414) == krelmo::engine::kWhite) {
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
      (swing ? swingMs : singleMs).push_back(ms);
      target = -1;
      swing = !swing;
    }
    if (target >= 0) return;
    direction = x < 300 ? 1 : -1;
    if (swing) {
      target = x + direction * 2 * kSwingMoves;
      swingLeft = kSwingMoves;
      return;
    }
    x += direction * 150;
    target = x;
    sent = Clock::now();
    sendMove(x);
  };
  for (int frame = 0; frame < 40; ++frame) {
    host.queue.PostTimer(krelmo::app::kPlayTimerId);
    game.DispatchPending();
  }
  std::printf("mouse move to paddle drawn during a frame, stepDelay %d (one step lasts %.2f ms):\n",
              engine.state.stepDelay, engine.state.stepDelay / 1193.182);
  std::printf("  single move:           p50 %.2f ms  p99 %.2f ms  max %.2f ms  (%zu moves)\n",
              Percentile(singleMs, 0.5), Percentile(singleMs, 0.99), Percentile(singleMs, 1.0),
              singleMs.size());
  std::printf(
      "  last move of a swing:  p50 %.2f ms  p99 %.2f ms  max %.2f ms  (%zu swings of %d "
      "moves)\n",
      Percentile(swingMs, 0.5), Percentile(swingMs, 0.99), Percentile(swingMs, 1.0), swingMs.size(),
      kSwingMoves);
  game.ShutdownApplication();
  return 0;
}
