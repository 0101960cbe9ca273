// The Qt frame host: what a frame's busy waits let through (input, presents) and what they
// hold back (window timers) until the game's loop waits for events again.
#include <QMouseEvent>
#include <QTest>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "tests/gui/gui_support.h"

using krelmo::qt::QtFrameHost;
using krelmo::qt::testing::Drain;
using krelmo::qt::testing::OfKind;

namespace {
constexpr std::uint32_t kPlentyOfTicks = 20'000;  // about 17 ms
constexpr std::uint64_t kTicksPerMs = krelmo::platform::kPitTicksPerSecond / 1000;
}  // namespace

class FrameHostTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    host = std::make_unique<krelmo::qt::QtPlatform>();
    // A frame host of the test's own, on a clock that moves only when the test says so.
    clock.Set(krelmo::platform::kPitTicksPerSecond);
    frameHost = std::make_unique<QtFrameHost>(host->window.View(), clock);
    host->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host->window));
    QTest::qWait(20);
    Drain(host->queue);
  }
  void cleanup() {
    frameHost.reset();
    host.reset();
  }

  void inputReachesTheQueueDuringAStepButTheTimerWaitsForTheLoop() {
    host->windowSystem.SetTimer(krelmo::app::kPlayTimerId, 5);
    auto& view = host->window.View();
    QCoreApplication::postEvent(&view, new QMouseEvent(QEvent::MouseMove, QPointF(123, 410),
                                                       view.mapToGlobal(QPointF(123, 410)),
                                                       Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    BusyWait(40, kPlentyOfTicks);
    auto messages = Drain(host->queue);
    const auto moves = OfKind(messages, krelmo::WM_MOUSEMOVE);
    QCOMPARE(moves.size(), std::size_t{1});
    QCOMPARE(moves[0].lParam, krelmo::MakePointLParam(123, 410));
    // No frame may start inside a frame.
    QVERIFY(OfKind(messages, krelmo::WM_TIMER).empty());

    for (int i = 0; i < 20 && host->queue.Empty(); ++i) frameHost->WaitForEvents();
    messages = Drain(host->queue);
    QCOMPARE(OfKind(messages, krelmo::WM_TIMER).size(), std::size_t{1});
  }

  void aChangedSurfaceIsPresentedAtMostOncePerDisplayRefreshDuringSteps() {
    auto& surface = host->surface;
    auto& view = host->window.View();
    const auto presentsBefore = view.PresentCount();
    for (int ms = 0; ms < 200; ++ms) {
      surface.SelectObject(krelmo::Brush{krelmo::RGB(0, 255, ms % 2 ? 0 : 255)});
      surface.Rectangle(100, 200, 140, 210);
      BusyWait(1, kPlentyOfTicks);
    }
    const auto presents = view.PresentCount() - presentsBefore;
    // One present every 16 ms: neither every step nor none.
    QVERIFY2(presents >= 12 && presents <= 13, qPrintable(QString::number(presents)));
    QCOMPARE(frameHost->FramePresents(), presents);
    QVERIFY(frameHost->FrameSeconds() > 0.19);
  }

  void noPresentIsMadeWithTooLittleOfTheWaitLeft() {
    host->surface.Rectangle(10, 10, 20, 20);
    const auto before = host->window.View().PresentCount();
    BusyWait(20, QtFrameHost::kPresentBudgetTicks);  // a present is due, but would overrun
    QCOMPARE(host->window.View().PresentCount(), before);
    BusyWait(1, QtFrameHost::kPresentBudgetTicks + 1);
    QCOMPARE(host->window.View().PresentCount(), before + 1);
    QVERIFY(!host->window.View().SurfaceChanged());
  }

 private:
  // Calls WhileWaiting once a millisecond of the test's clock, as a step's busy wait does.
  void BusyWait(int ms, std::uint32_t ticksLeft) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(kTicksPerMs);
      frameHost->WhileWaiting(ticksLeft);
    }
  }

  std::unique_ptr<krelmo::qt::QtPlatform> host;
  krelmo::platform::ManualClock clock;
  std::unique_ptr<QtFrameHost> frameHost;
};

QTEST_MAIN(FrameHostTest)
#include "frame_host_test.moc"
