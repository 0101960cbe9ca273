// The Qt front end below the window: what a frame's busy waits let through (input, presents)
// and what they hold back (window timers) until the game's loop waits for events again; the
// game's glyph table against Qt's drawing; and the one-game-per-user rule with its hand-over.
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "app/game.h"
#include "frontend/qt/qt_font_renderer.h"
#include "frontend/qt/qt_platform.h"
#include "frontend/qt/single_instance.h"
#include "platform/cp1252.h"
#include "platform/present_cadence.h"
#include "platform/surface.h"
#include "resources/fonts/game_font.h"
#include "tests/gui/gui_support.h"

using krelmo::qt::QtFrameHost;
using krelmo::qt::SingleInstance;
using krelmo::qt::testing::Drain;
using krelmo::qt::testing::OfKind;

namespace {
constexpr std::uint32_t kPlentyOfTicks = 20'000;  // about 17 ms
}  // namespace

class FrameHostTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    host = std::make_unique<krelmo::qt::QtPlatform>();
    // A frame host of the test's own, on a clock that moves only when the test says so.
    clock.Set(krelmo::platform::kPitTicksPerSecond);
    cadence = std::make_unique<krelmo::platform::PresentCadence>(clock);
    frameHost = std::make_unique<QtFrameHost>(host->window.View(), clock, *cadence);
    host->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host->window));
    QTest::qWait(20);
    Drain(host->queue);
  }
  void cleanup() {
    frameHost.reset();
    cadence.reset();
    host.reset();
  }

  void inputReachesTheQueueDuringAStepButTheTimerWaitsForTheLoop() {
    host->windowSystem.SetTimer(krelmo::app::kPlayTimerId, 5);
    auto& view = host->window.View();
    QCoreApplication::postEvent(&view, new QMouseEvent(QEvent::MouseMove, QPointF(123, 410),
                                                       view.mapToGlobal(QPointF(123, 410)),
                                                       Qt::NoButton, Qt::NoButton, Qt::NoModifier));
    // The step's waits last until the timer is long due, however fast the machine.
    for (const QDeadlineTimer due(20); !due.hasExpired();) BusyWait(1, kPlentyOfTicks);
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

  // What the steps' waits present, each at once, is what the cadence allows (its rule is
  // tested in tests/platform): once a display refresh, and never with the wait nearly over.
  void aChangedSurfaceIsPresentedDuringStepsWhenTheCadenceAllows() {
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

    surface.Rectangle(10, 10, 20, 20);
    const auto before = view.PresentCount();
    BusyWait(20, 0);  // a present is due, but the waits are over
    QCOMPARE(view.PresentCount(), before);
    BusyWait(1, kPlentyOfTicks);
    QCOMPARE(view.PresentCount(), before + 1);
    QVERIFY(!view.SurfaceChanged());
  }

  void theGlyphTableIsWhatQtDrawsOfTheEmbeddedFont() {
    const krelmo::qt::QtFontRenderer font;
    QVERIFY(font.UsesEmbeddedFont());
    QCOMPARE(font.Font().family(), QStringLiteral("DejaVu Sans"));
    const auto& table = krelmo::resources::kGameFont;
    const auto made = font.MakeGlyphTable();
    const char* again = "; make resources/fonts/game_font.cpp again with krelmo-glyphs";
    QVERIFY2(made.height == table.height && made.height <= krelmo::platform::kMaxTextHeight, again);
    QVERIFY2(made.maxLeftOverhang == table.maxLeftOverhang, again);
    for (int code = 0; code < 256; ++code) {
      const auto& a = made.glyphs[static_cast<std::size_t>(code)];
      const auto& b = table.glyphs[static_cast<std::size_t>(code)];
      const bool same = a.left == b.left && a.advance == b.advance && a.rows == b.rows;
      QVERIFY2(same, qPrintable(QStringLiteral("glyph 0x%1 differs").arg(code, 2, 16) + again));
    }

    // Strings set from the table are what Qt draws of them whole: every printable character,
    // and the game's own texts.
    std::string every;
    for (int code = 0; code < 256; ++code) {
      if (krelmo::platform::IsCp1252Printable(static_cast<std::uint8_t>(code)))
        every += static_cast<char>(code);
    }
    for (const std::string& text : {every, std::string("Paused - <F3> to resume"),
                                    std::string("ffi fl jaguar ,j /T. Wy Av -1\xE9\x80\x85\xC6")}) {
      const auto want = font.Render(text);
      const auto got = krelmo::platform::RenderText(table, text);
      QVERIFY2(got.width == want.width && got.height == want.height && got.ink == want.ink,
               text.c_str());
    }
    QVERIFY(krelmo::platform::TextWidth(table, "W") > krelmo::platform::TextWidth(table, "i"));
  }

  // A second start hands over to the running game, once; anything else said to the running
  // game is ignored.
  void aSecondStartHandsOverToTheRunningGameAndNothingElseDoes() {
    QTemporaryDir folder;
    const QString lockPath = folder.filePath(QStringLiteral("Krelmo"));
    const QString server = ServerName();
    SingleInstance running(lockPath, server);
    int handOvers = 0;
    running.onHandOver = [&] { ++handOvers; };
    QVERIFY(running.Claim());
    // Each stranger has said all it says before the second start connects: the running game
    // has taken it by the time it answers the hand-over.
    std::vector<std::unique_ptr<QLocalSocket>> strangers;
    for (const char* words : {"hello\n", "Krelmo\nKrelmo\n", "Krelmo"}) {
      auto& socket = strangers.emplace_back(std::make_unique<QLocalSocket>());
      socket->connectToServer(server);
      QVERIFY(socket->waitForConnected(2000));
      socket->write(words);
      QVERIFY(socket->waitForBytesWritten(2000));
    }
    SingleInstance second(lockPath, server);
    QVERIFY(!second.Claim());
    auto delivered = std::async(std::launch::async, [&] { return second.HandOver(5000); });
    QTRY_VERIFY(delivered.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(delivered.get());
    QCOMPARE(handOvers, 1);
  }

  // A start while the game ends is not lost: the ending game takes no more hand-overs (its
  // loop is over, its settings being saved), hangs up unanswered as it lets the lock go, and
  // the start, which waited for the lock, is a game of its own.
  void aStartWhileTheGameEndsIsAGameOfItsOwn() {
    QTemporaryDir folder;
    const QString lockPath = folder.filePath(QStringLiteral("Krelmo"));
    const QString server = ServerName();
    SingleInstance ending(lockPath, server);
    int handOvers = 0;
    ending.onHandOver = [&] { ++handOvers; };
    QVERIFY(ending.Claim());
    SingleInstance::Start start = SingleInstance::Start::kNoAnswer;
    std::unique_ptr<QThread> second(QThread::create([&] {
      SingleInstance instance(lockPath, server);
      start = instance.ClaimOrHandOver(10000);
      instance.Release();
    }));
    second->start();
    // The ending game's shutdown work: nothing it is sent is taken meanwhile.
    const QDeadlineTimer whileSaving(300);
    while (!whileSaving.hasExpired()) QThread::msleep(10);
    ending.Release();
    QVERIFY(second->wait(15000));
    QCOMPARE(start, SingleInstance::Start::kClaimed);
    QCoreApplication::processEvents();
    QCOMPARE(handOvers, 0);
    // Nor is a start lost that comes once the lock is given up.
    SingleInstance third(lockPath, server);
    QCOMPARE(third.ClaimOrHandOver(1000), SingleInstance::Start::kClaimed);
  }

 private:
  // Calls WhileWaiting once a millisecond of the test's clock, as a step's busy wait does.
  void BusyWait(int ms, std::uint32_t ticksLeft) {
    for (int i = 0; i < ms; ++i) {
      clock.Advance(krelmo::platform::kPitTicksPerMs);
      frameHost->WhileWaiting(ticksLeft);
    }
  }

  static QString ServerName() {
    return QStringLiteral("krelmo-gui-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++serial);
  }
  static inline int serial = 0;

  std::unique_ptr<krelmo::qt::QtPlatform> host;
  krelmo::platform::ManualClock clock;
  std::unique_ptr<krelmo::platform::PresentCadence> cadence;
  std::unique_ptr<QtFrameHost> frameHost;
};

QTEST_MAIN(FrameHostTest)
#include "frame_host_test.moc"
