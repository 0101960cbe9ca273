// The game's main window on Qt: its menu bar, and how input and window events
// reach the game's queue as messages.
#include <QAction>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/game.h"
#include "frontend/qt/qt_platform.h"
#include "resources/menu.h"
#include "tests/gui/gui_support.h"

using krelmo::qt::testing::CollectAndCount;
using krelmo::qt::testing::Drain;
using krelmo::qt::testing::OfKind;
using krelmo::qt::testing::ShownStateWord;
namespace platform = krelmo::platform;
namespace resources = krelmo::resources;

class GameWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    host = std::make_unique<krelmo::qt::QtPlatform>();
    host->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host->window));
    Drain(host->queue);
  }
  void cleanup() { host.reset(); }

  // Start-up's chime decides whether "Digital Audio" can be chosen: it plays where an audio
  // device opens; where none does the game starts all the same, on the speaker.
  void digitalAudioIsOfferedOnlyWhereAnAudioDeviceOpens() {
    for (const bool opens : {true, false}) {
      host.reset();
      qputenv("SDL_AUDIODRIVER", opens ? "dummy" : "nonexistent");
      host = std::make_unique<krelmo::qt::QtPlatform>();
      qputenv("SDL_AUDIODRIVER", "dummy");
      krelmo::app::Game game(host->Get());
      game.timer.SetReportSink([](std::string_view) {});
      QCOMPARE(game.InitApplication(), 0);
      QCOMPARE(game.app.waveAvailable, opens ? 1u : 0u);
      QCOMPARE(host->audioError.empty(), opens);
      const QAction* digital = host->window.MenuAction(resources::IDM_DIGITAL_AUDIO);
      QCOMPARE(ShownStateWord(*digital), opens ? platform::MFS_CHECKED : platform::MFS_GRAYED);
    }
  }

  // Each item shows its text and starting state in its menu, and choosing it posts its
  // command; the state words are the game's alone to change.
  void everyMenuItemShowsItsStartingStateAndPostsItsCommand() {
    // A greyed item cannot be chosen.
    host->window.MenuAction(resources::IDM_PLAYERS_2)->trigger();
    QVERIFY(Drain(host->queue).empty());
    for (const auto& item : resources::kMainMenu) {
      if (!item.text) continue;
      QAction* action = host->window.MenuAction(item.id);
      QVERIFY2(action, item.text);
      QCOMPARE(action->text(), QString::fromLatin1(item.text));
      QCOMPARE(ShownStateWord(*action), item.initialState);
      // The key hints are text only: the keys reach the game as key messages.
      QVERIFY(action->shortcut().isEmpty());
      host->menu.SetState(item.id, item.initialState & platform::MFS_CHECKED);
      action->trigger();
      const auto messages = Drain(host->queue);
      QCOMPARE(messages.size(), std::size_t{1});
      QCOMPARE(messages[0].wParam, krelmo::WPARAM(item.id));
      QCOMPARE(ShownStateWord(*action), item.initialState & platform::MFS_CHECKED);
    }
    // Greyed and checked shows both, and back to plain leaves no check box behind.
    host->menu.SetState(resources::IDM_KRELMO, 11);
    QCOMPARE(ShownStateWord(*host->window.MenuAction(resources::IDM_KRELMO)), 11u);
    host->menu.SetState(resources::IDM_KRELMO, 0);
    QCOMPARE(ShownStateWord(*host->window.MenuAction(resources::IDM_KRELMO)), 0u);
  }

  // A first press posts its key with a PC keyboard's scan code; a held key carries the repeat
  // bit and Alt the Alt bit, either of which makes the game ignore it.
  void keysPostKeyDownWithTheirScanCodesAndBits() {
    auto& view = host->window.View();
    QKeyEvent held(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier, QString(), true);
    const std::tuple<std::function<void()>, krelmo::WPARAM, krelmo::LPARAM> rows[] = {
        {[&] { QTest::keyClick(&view, Qt::Key_F2); }, krelmo::VK_F2,
         krelmo::MakeKeyLParam(0x3C, false, false, false)},
        {[&] { QTest::keyClick(&view, Qt::Key_Escape); }, krelmo::VK_ESCAPE,
         krelmo::MakeKeyLParam(0x01, false, false, false)},
        {[&] { QTest::keyClick(&view, Qt::Key_P); }, 'P',
         krelmo::MakeKeyLParam(0x19, false, false, false)},
        {[&] { QApplication::sendEvent(&view, &held); }, krelmo::VK_F3,
         krelmo::MakeKeyLParam(0x3D, false, false, true)},
        {[&] { QTest::keyClick(&view, Qt::Key_F2, Qt::AltModifier); }, krelmo::VK_F2,
         krelmo::MakeKeyLParam(0x3C, false, true, false)},
    };
    for (const auto& [press, virtualKey, lParam] : rows) {
      press();
      // Alt itself is a key too: the last key down is the one pressed.
      const auto keys = OfKind(Drain(host->queue), krelmo::WM_KEYDOWN);
      QVERIFY(!keys.empty());
      QCOMPARE(keys.back().wParam, virtualKey);
      QCOMPARE(keys.back().lParam, lParam);
    }
  }

  void altF4AndTheCloseBoxAskTheGameToClose() {
    QTest::keyClick(&host->window.View(), Qt::Key_F4, Qt::AltModifier);
    // With the menu bar holding the keyboard the key reaches the window itself.
    QKeyEvent altF4(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
    QApplication::sendEvent(&host->window, &altF4);
    QVERIFY(!host->window.close());
    QVERIFY(host->window.isVisible());
    const auto messages = Drain(host->queue);
    QCOMPARE(OfKind(messages, krelmo::WM_CLOSE).size(), std::size_t{3});
    constexpr krelmo::WPARAM kVkF4 = 115;
    for (const auto& key : OfKind(messages, krelmo::WM_KEYDOWN)) QVERIFY(key.wParam != kVkF4);
  }

  void thePointerIsHeldOnThePaddleStripWhileConfined() {
    auto& view = host->window.View();
    auto& windows = host->windowSystem;
    windows.ShowCursor(false);
    QCOMPARE(view.cursor().shape(), Qt::BlankCursor);

    const platform::Point topLeft = windows.ClientToScreen({20, 410});
    const platform::Point bottomRight = windows.ClientToScreen({621, 420});
    const platform::Rect strip{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    windows.ClipCursor(&strip);
    // Each move is taken before the next, as a frame's steps take them.
    std::vector<krelmo::Message> moves;
    const auto moveTo = [&](QPoint local) {
      QMouseEvent move(QEvent::MouseMove, local, view.mapToGlobal(local), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&view, &move);
      for (const auto& m : OfKind(Drain(host->queue), krelmo::WM_MOUSEMOVE)) moves.push_back(m);
    };
    Drain(host->queue);
    moveTo(QPoint(5, 200));    // above and left of the strip
    moveTo(QPoint(20, 410));   // the echo of the pointer put back on the strip
    moveTo(QPoint(633, 435));  // below and right of it
    moveTo(QPoint(300, 415));  // on it
    QCOMPARE(moves.size(), std::size_t{3});
    QCOMPARE(moves[0].lParam, krelmo::MakePointLParam(20, 410));
    QCOMPARE(moves[1].lParam, krelmo::MakePointLParam(620, 419));
    QCOMPARE(moves[2].lParam, krelmo::MakePointLParam(300, 415));

    windows.ClipCursor(nullptr);
    windows.ShowCursor(true);
    moves.clear();
    moveTo(QPoint(5, 200));
    QCOMPARE(moves.size(), std::size_t{1});
    QCOMPARE(moves[0].lParam, krelmo::MakePointLParam(5, 200));
    QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
  }

  // Outside frames nothing polls: a change is shown once the event loop goes idle.
  void aChangeDrawnOutsideAFrameIsShownWhenTheLoopGoesIdle() {
    auto& view = host->window.View();
    host->surface.Rectangle(10, 20, 50, 40);
    QVERIFY(view.SurfaceChanged());
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    QVERIFY(!view.SurfaceChanged());
  }

  void aSettledSwitchOfApplicationIsReportedButAFlickerIsNot() {
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QTest::qWait(krelmo::qt::GameWindow::kActivationSettleMs * 2);
    QVERIFY(OfKind(Drain(host->queue), krelmo::WM_ACTIVATEAPP).empty());

    std::vector<krelmo::Message> taken;
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QTRY_COMPARE(CollectAndCount(host->queue, taken, krelmo::WM_ACTIVATEAPP), std::size_t{1});
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QTRY_COMPARE(CollectAndCount(host->queue, taken, krelmo::WM_ACTIVATEAPP), std::size_t{2});
    const auto activations = OfKind(taken, krelmo::WM_ACTIVATEAPP);
    QCOMPARE(activations[0].wParam, krelmo::WPARAM{0});
    QCOMPARE(activations[1].wParam, krelmo::WPARAM{1});
  }

 private:
  std::unique_ptr<krelmo::qt::QtPlatform> host;
};

QTEST_MAIN(GameWindowTest)
#include "game_window_test.moc"
