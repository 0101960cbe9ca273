// The Qt frame host: what a frame's busy waits let through (input, presents) and what they
// hold back (window timers) until the game's loop waits for events again.
#include <QMouseEvent>
#include <QTest>
#include <chrono>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "tests/gui/gui_support.h"

using krelmo::qt::QtFrameHost;
using krelmo::qt::testing::Drain;
using krelmo::qt::testing::OfKind;

namespace {
constexpr std::uint32_t kPlentyOfTicks = 20'000;  // about 17 ms

// Calls WhileWaiting over and over for `ms` milliseconds, as a step's busy wait does.
void BusyWait(QtFrameHost& host, int ms, std::uint32_t ticksLeft) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) host.WhileWaiting(ticksLeft);
}
}  // namespace

class FrameHostTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    host = std::make_unique<krelmo::qt::QtPlatform>();
    host->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host->window));
    QTest::qWait(20);
    Drain(host->queue);
  }
  void cleanup() { host.reset(); }

  void inputReachesTheQueueDuringAStepButTheTimerWaitsForTheLoop() {
    host->windowSystem.SetTimer(krelmo::app::kPlayTimerId, 5);
    auto& view = host->window.View();
    QCoreApplication::postEvent(&view, new QMouseEvent(QEvent::MouseMove, QPointF(123, 410),
                                                       view.mapToGlobal(QPointF(123, 410)),
                                                       Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    BusyWait(host->frameHost, 40, kPlentyOfTicks);
    auto messages = Drain(host->queue);
    const auto moves = OfKind(messages, krelmo::WM_MOUSEMOVE);
    QCOMPARE(moves.size(), std::size_t{1});
    QCOMPARE(moves[0].lParam, krelmo::MakePointLParam(123, 410));
    // No frame may start inside a frame.
    QVERIFY(OfKind(messages, krelmo::WM_TIMER).empty());

    for (int i = 0; i < 20 && host->queue.Empty(); ++i) host->frameHost.WaitForEvents();
    messages = Drain(host->queue);
    QCOMPARE(OfKind(messages, krelmo::WM_TIMER).size(), std::size_t{1});
  }

  void aChangedSurfaceIsPresentedAboutSixtyTimesASecondDuringSteps() {
    auto& surface = host->surface;
    auto& view = host->window.View();
    const auto presentsBefore = view.PresentCount();
    const auto start = std::chrono::steady_clock::now();
    int changes = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) {
      surface.SelectObject(krelmo::Brush{krelmo::RGB(0, 255, changes % 2 ? 0 : 255)});
      surface.Rectangle(100, 200, 140, 210);
      ++changes;
      BusyWait(host->frameHost, 3, kPlentyOfTicks);
    }
    const auto presents = view.PresentCount() - presentsBefore;
    // One present per display refresh at most: neither every step nor none.
    QVERIFY2(presents >= 3 && presents <= 14, qPrintable(QString::number(presents)));
    QCOMPARE(host->frameHost.FramePresents(), presents);
    QVERIFY(host->frameHost.FrameSeconds() > 0.15);
  }

  void noPresentIsMadeWithTooLittleOfTheWaitLeft() {
    QTest::qWait(20);  // a present is due by the clock...
    host->surface.Rectangle(10, 10, 20, 20);
    const auto before = host->window.View().PresentCount();
    BusyWait(host->frameHost, 5, QtFrameHost::kPresentBudgetTicks);  // ...but would overrun
    QCOMPARE(host->window.View().PresentCount(), before);
    BusyWait(host->frameHost, 5, QtFrameHost::kPresentBudgetTicks + 1);
    QCOMPARE(host->window.View().PresentCount(), before + 1);
    QVERIFY(!host->window.View().SurfaceChanged());
  }

 private:
  std::unique_ptr<krelmo::qt::QtPlatform> host;
};

QTEST_MAIN(FrameHostTest)
#include "frame_host_test.moc"
