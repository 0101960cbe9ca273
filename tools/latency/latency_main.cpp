// krelmo-latency: how long a mouse move takes, inside a running frame, from the window
// system's event to the paddle drawn on the surface. Prints percentiles over many moves.
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

  // A mouse move goes to the window as the window system would deliver it; each step's end
  // looks whether the paddle now stands where the move put it.
  std::vector<double> latenciesMs;
  int target = -1;
  Clock::time_point sent;
  int nextX = 100;
  engine.onStepEnd = [&] {
    auto& s = engine.state;
    // Keep the ball in play: it never falls below the paddle's row.
    if (s.ballY > 380) s.ballDY = -1;
    if (target >= 0 && s.paddleX == target &&
        host.surface.GetPixel(target + 30, 414) == krelmo::engine::kWhite) {
      latenciesMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
      target = -1;
    }
    if (target < 0) {
      nextX = nextX == 100 ? 400 : 100;
      target = nextX;
      sent = Clock::now();
      auto* view = &host.window.View();
      const QPointF local(nextX, 420);
      QCoreApplication::postEvent(
          view, new QMouseEvent(QEvent::MouseMove, local, view->mapToGlobal(local), Qt::NoButton,
                                Qt::NoButton, Qt::NoModifier));
    }
  };
  for (int frame = 0; frame < 20; ++frame) {
    host.queue.PostTimer(krelmo::app::kPlayTimerId);
    game.DispatchPending();
  }
  std::printf("mouse move to paddle drawn during a frame, stepDelay %d, %zu moves:\n",
              engine.state.stepDelay, latenciesMs.size());
  std::printf("  p50 %.2f ms  p99 %.2f ms  max %.2f ms  (one step lasts %.2f ms)\n",
              Percentile(latenciesMs, 0.5), Percentile(latenciesMs, 0.99),
              Percentile(latenciesMs, 1.0), engine.state.stepDelay / 1193.182);
  game.ShutdownApplication();
  return 0;
}
