// The game's main window and its modal dialogs on Qt: the menu bar, how input and window
// events reach the game's queue as messages, the About box, the abort question, the high-score
// dialog, the nested dispatch that keeps the game running meanwhile, and the help window.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "app/game.h"
#include "frontend/headless/headless_platform.h"
#include "frontend/qt/high_score_dialog.h"
#include "frontend/qt/qt_platform.h"
#include "records/records.h"
#include "resources/dialogs.h"
#include "resources/menu.h"
#include "tests/gui/gui_support.h"

using krelmo::qt::GameWindow;
using krelmo::qt::HelpWindow;
using krelmo::qt::testing::CollectAndCount;
using krelmo::qt::testing::Drain;
using krelmo::qt::testing::OfKind;
using krelmo::qt::testing::ShownStateWord;
using krelmo::qt::testing::TakeUntilMarker;
namespace platform = krelmo::platform;
namespace resources = krelmo::resources;

namespace {

// Runs `inspect` on the modal dialog once it is open. Whatever happens, the dialog is not
// left open: a dialog still open after `inspect` and a grace period is closed and counted.
// The watch ends with `owner`.
void WhenModalOpens(QObject* owner, std::function<void(QWidget*)> inspect, int* leftOpen) {
  auto* poll = new QTimer(owner);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, inspect, leftOpen] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    QPointer<QWidget> dialog(modal);
    inspect(modal);
    QTimer::singleShot(2000, [dialog, leftOpen] {
      if (dialog && dialog->isVisible()) {
        ++*leftOpen;
        if (auto* d = qobject_cast<QDialog*>(dialog.data())) d->done(0);
      }
    });
  });
  poll->start();
}

}  // namespace

class GameWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    host = std::make_unique<krelmo::qt::QtPlatform>();
    host->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host->window));
    Drain(host->queue);
    leftOpen = 0;
    // Stands in for the game's DispatchPending.
    host->dialogs.SetNestedDispatch([this] {
      krelmo::Message message;
      while (host->queue.PeekMessage(message, 0, 0, true)) {
        if (message.message == krelmo::WM_QUIT) return false;
      }
      return true;
    });
  }
  void cleanup() {
    QCOMPARE(leftOpen, 0);
    host.reset();
  }

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
      QCOMPARE(game.app.waveAvailable, opens);
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
    constexpr std::uint32_t kGreyedAndChecked = platform::MFS_GRAYED | platform::MFS_CHECKED;
    host->menu.SetState(resources::IDM_KRELMO, kGreyedAndChecked);
    QCOMPARE(ShownStateWord(*host->window.MenuAction(resources::IDM_KRELMO)), kGreyedAndChecked);
    host->menu.SetState(resources::IDM_KRELMO, 0);
    QCOMPARE(ShownStateWord(*host->window.MenuAction(resources::IDM_KRELMO)), 0u);
  }

  // A first press posts its key with a PC keyboard's scan code; a held key carries the repeat
  // bit and Alt the Alt bit, either of which makes the game ignore it.
  void keysPostKeyDownWithTheirScanCodesAndBits() {
    auto& view = host->window.View();
    QKeyEvent held(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier, QString(), true);
    const auto click = [&](Qt::Key key, Qt::KeyboardModifiers with = Qt::NoModifier) {
      return [&view, key, with] { QTest::keyClick(&view, key, with); };
    };
    using krelmo::MakeKeyLParam;
    const std::tuple<std::function<void()>, krelmo::WPARAM, krelmo::LPARAM> rows[] = {
        {click(Qt::Key_F2), krelmo::VK_F2, MakeKeyLParam(0x3C, false, false, false)},
        {click(Qt::Key_Escape), krelmo::VK_ESCAPE, MakeKeyLParam(0x01, false, false, false)},
        {click(Qt::Key_P), 'P', MakeKeyLParam(0x19, false, false, false)},
        {[&] { QApplication::sendEvent(&view, &held); }, krelmo::VK_F3,
         MakeKeyLParam(0x3D, false, false, true)},
        {click(Qt::Key_F2, Qt::AltModifier), krelmo::VK_F2,
         MakeKeyLParam(0x3C, false, true, false)},
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

  // Confined to the paddle's rows between the walls, a pointer off them is put back on them.
  void thePointerIsHeldOnItsStripWhileConfined() {
    using namespace krelmo::engine;
    auto& view = host->window.View();
    auto& windows = host->windowSystem;
    windows.ShowCursor(false);
    QCOMPARE(view.cursor().shape(), Qt::BlankCursor);
    const platform::Point topLeft = windows.ClientToScreen({kLeftWallRight, kPaddleTop});
    const platform::Point bottomRight = windows.ClientToScreen({kRightWallLeft, kPaddleBottom});
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
    const QPoint corner(kLeftWallRight, kPaddleTop),
        farCorner(kRightWallLeft - 1, kPaddleBottom - 1);
    moveTo(QPoint(5, 200));    // above and left of the strip
    moveTo(corner);            // the echo of the pointer put back on the strip
    moveTo(QPoint(633, 435));  // below and right of it
    moveTo(QPoint(300, 415));  // on it
    windows.ClipCursor(nullptr);
    windows.ShowCursor(true);
    moveTo(QPoint(5, 200));
    std::vector<krelmo::LPARAM> at, wanted;
    for (const auto& m : moves) at.push_back(m.lParam);
    for (const QPoint p : {corner, farCorner, QPoint(300, 415), QPoint(5, 200)})
      wanted.push_back(krelmo::MakePointLParam(p.x(), p.y()));
    QCOMPARE(at, wanted);
    QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
  }

  void aSettledSwitchOfApplicationIsReportedButAFlickerIsNot() {
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    std::vector<krelmo::Message> settled;
    QVERIFY(TakeUntilMarker(host->queue, GameWindow::kActivationSettleMs * 2, settled));
    QVERIFY(OfKind(settled, krelmo::WM_ACTIVATEAPP).empty());

    // The help window becoming active is the game switched away.
    host->window.activateWindow();
    QTRY_VERIFY(host->window.isActiveWindow());
    std::vector<krelmo::Message> taken;
    QVERIFY(host->dialogs.ShowHelp());
    QTRY_COMPARE(CollectAndCount(host->queue, taken, krelmo::WM_ACTIVATEAPP), std::size_t{1});
    host->window.activateWindow();
    QTRY_COMPARE(CollectAndCount(host->queue, taken, krelmo::WM_ACTIVATEAPP), std::size_t{2});
    const auto activations = OfKind(taken, krelmo::WM_ACTIVATEAPP);
    QCOMPARE(activations[0].wParam, krelmo::WPARAM{0});
    QCOMPARE(activations[1].wParam, krelmo::WPARAM{1});
  }

  // The window is its client area with the menu bar and the frame, and the game keeps all of
  // it on screen when it re-places the window, even moved to the bottom right corner.
  void theWholeWindowStaysOnScreenWhenTheGameReplacesIt() {
    krelmo::app::Game game(host->Get());
    game.InitApplication();
    const QRect frame = host->window.frameGeometry();
    const platform::Rect rect = host->windowSystem.WindowRect();
    QCOMPARE(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)), frame);
    QVERIFY(frame.height() >= platform::kClientHeight + host->window.menuBar()->height());
    const QRect screen = host->window.screen()->geometry();
    host->window.move(screen.right() - 100, screen.bottom() - 20);
    game.SendMessage(krelmo::WM_EXITSIZEMOVE, 0, 0);
    QTRY_COMPARE(host->window.frameGeometry().bottomRight(), screen.bottomRight());
  }

  // Only the two buttons answer the abort question, not Esc nor a close request; a quit while
  // a dialog is open closes it and is handed back to the outer loop.
  void abortQuestionAnswersOnlyByItsButtonsAndAQuitClosesADialog() {
    bool openAfterEsc = false, openAfterClose = false;
    WhenModalOpens(
        &host->window,
        [&](QWidget* widget) {
          auto* box = qobject_cast<QMessageBox*>(widget);
          QTest::keyClick(box, Qt::Key_Escape);
          openAfterEsc = box->isVisible();
          box->close();
          openAfterClose = box->isVisible();
          box->defaultButton()->click();
        },
        &leftOpen);
    QCOMPARE(host->dialogs.MessageBox("Abort Game?", "Warning",
                                      platform::MB_YESNO | platform::MB_ICONEXCLAMATION),
             platform::IDYES);
    QVERIFY(openAfterEsc && openAfterClose);
    // The About box is closed by neither either: the quit comes through the game's dispatch
    // meanwhile.
    for (const bool about : {true, false}) {
      WhenModalOpens(
          &host->window,
          [&](QWidget* dialog) {
            if (about) {
              QTest::keyClick(dialog, Qt::Key_Escape);
              dialog->close();
              openAfterEsc = dialog->isVisible();
            }
            host->queue.PostQuitMessage(0);
          },
          &leftOpen);
      if (about)
        host->dialogs.ShowAbout();
      else
        QCOMPARE(host->dialogs.MessageBox("Abort Game?", "Warning",
                                          platform::MB_YESNO | platform::MB_ICONEXCLAMATION),
                 platform::IDNO);
      // Handed back to the outer loop (after the focus the window may have got back).
      QCOMPARE(OfKind(Drain(host->queue), krelmo::WM_QUIT).size(), std::size_t{1});
    }
    QVERIFY(openAfterEsc);
  }

  // A score that just reaches rank 5, the table's last row, under names that look like markup:
  // they show as typed ("<b>Al</b>" is no bold "Al", nor "x&lt;y" an "x<y"), the name box
  // covers the new row's name, Esc does not close the dialog, and a name keeps eleven
  // characters of the code page.
  void highScoreDialogShowsNamesAsTypedAndTheNameBoxOverTheNewRowAndOnlyOkCloses() {
    using namespace krelmo::records;
    krelmo::app::Game game(host->Get());
    host->dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });
    game.InitApplication();  // a first run: both tables hold their defaults
    const std::array<std::string, 4> names{"<b>Al</b>", "x&lt;y", "A&B", "<i>iiii</i>"};
    auto table = ReadHighScoreTable(host->registry, krelmo::engine::Variant::kKrelmo);
    for (std::size_t rank = 0; rank < names.size(); ++rank) table[rank].name = names[rank];
    platform::HKEY key = 0;
    host->registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, kGameKey, 0,
                                 platform::KEY_ALL_ACCESS, &key);
    QVERIFY(WriteHighScoreTable(host->registry, key, krelmo::engine::Variant::kKrelmo, table));
    host->registry.RegCloseKey(key);
    game.engine.state.playerScore[0] = 4001;
    int shown = 0;
    QStringList wrong;
    bool covered = false, openAfterEsc = false, openAfterEnter = true;
    WhenModalOpens(
        &host->window,
        [&](QWidget* widget) {
          auto* dialog = qobject_cast<krelmo::qt::HighScoreDialog*>(widget);
          QVERIFY(dialog);
          QLineEdit* edit = dialog->NameEdit();
          for (QLabel* label : dialog->findChildren<QLabel*>()) {
            const auto rank =
                label->property("controlId").toInt() - resources::IDC_HIGH_SCORE_NAME1;
            if (rank == 4) covered = edit->geometry().contains(label->geometry().center());
            if (rank < 0 || rank > 3) continue;
            ++shown;
            const QString text = QString::fromStdString(names[rank]);
            const int wanted = label->fontMetrics().horizontalAdvance(text);
            if (label->text() != text || label->sizeHint().width() < wanted - 1)
              wrong << label->text() + QStringLiteral(" %1 wide").arg(label->sizeHint().width());
          }
          QTest::keyClick(dialog, Qt::Key_Escape);
          openAfterEsc = dialog->isVisible();
          edit->clear();
          for (const QChar c : QString::fromUtf8("Zo\u00eb\u03a9 iiiiiiiiii")) {
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
          }
          QTest::keyClick(edit, Qt::Key_Return);
          openAfterEnter = dialog->isVisible();
        },
        &leftOpen);
    game.CheckHighScore(4001);
    QVERIFY(covered && openAfterEsc && !openAfterEnter);
    QCOMPARE(shown, 4);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    const auto names5 = LoadHighScoreTable(host->registry, krelmo::engine::Variant::kKrelmo).names;
    QCOMPARE(QString::fromLatin1(names5).split(QLatin1Char('\n')).value(4),
             QString::fromLatin1("Zo\xEB iiiiiii"));
  }

  // The window gets the keyboard back as the entry dialog closes, and the game takes that
  // focus after the turn has passed: "Player 2 Up" is cleared by its redraw. The headless
  // front end of krelmo-sim does the same (tests/app): both end with the same picture.
  void aHighScoreDoesToThePictureWhatItDoesInTheSimulator() {
    const auto play = [](krelmo::app::Game& game) {
      game.SendMessage(krelmo::WM_COMMAND, resources::IDM_PLAYERS_2, 0);
      game.SendMessage(krelmo::WM_KEYDOWN, krelmo::VK_F2, 0);
      game.engine.state.ballsLeft[0] = 1;
      game.engine.state.playerScore[0] = 9000;
      game.LoseBall();  // the entry dialog, then player 2's turn
    };
    const auto playerUpShows = [](const platform::Surface& surface) {
      for (int y = 215; y < 240; ++y)
        for (int x = 255; x < 380; ++x)
          if (surface.GetPixel(x, y) != 0) return true;
      return false;
    };
    krelmo::headless::HeadlessPlatform sim;
    krelmo::app::Game simGame(sim.Get());
    simGame.timer.SetReportSink([](std::string_view) {});
    simGame.InitApplication();
    play(simGame);
    QVERIFY(playerUpShows(sim.surface));
    simGame.DispatchPending();

    host->window.activateWindow();
    QTRY_VERIFY(host->window.isActiveWindow());
    krelmo::app::Game game(host->Get());
    game.timer.SetReportSink([](std::string_view) {});
    host->dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });
    game.InitApplication();
    host->windowSystem.KillTimer(krelmo::app::kPlayTimerId);  // no frames: the ball waits
    WhenModalOpens(
        &host->window,
        [](QWidget* dialog) {
          QTimer::singleShot(50, dialog, [dialog] { qobject_cast<QDialog*>(dialog)->accept(); });
        },
        &leftOpen);
    play(game);
    QCOMPARE(game.engine.state.currentPlayer, 1u);
    QVERIFY(playerUpShows(host->surface));
    QTRY_VERIFY((game.DispatchPending(), !playerUpShows(host->surface)));
    QVERIFY(!playerUpShows(sim.surface));
    constexpr int kPixels = platform::Surface::kWidth * platform::Surface::kHeight;
    const auto* pixels = host->surface.Pixels();
    const auto at = std::mismatch(pixels, pixels + kPixels, sim.surface.Pixels()).first - pixels;
    QVERIFY2(at == kPixels, qPrintable(QStringLiteral("the pictures differ at (%1, %2)")
                                           .arg(at % platform::Surface::kWidth)
                                           .arg(at / platform::Surface::kWidth)));
  }

  void aRequestToEndWhileTheHighScoreDialogIsOpenKeepsTheScore() {
    krelmo::app::Game game(host->Get());
    host->dialogs.SetNestedDispatch([&] { return game.DispatchPending(); });
    game.InitApplication();
    game.engine.state.playerScore[0] = 9000;
    // What SIGTERM and the close box post.
    WhenModalOpens(
        &host->window, [&](QWidget*) { host->queue.PostMessage(krelmo::WM_CLOSE); }, &leftOpen);
    game.CheckHighScore(9000);
    QCOMPARE(OfKind(Drain(host->queue), krelmo::WM_QUIT).size(), std::size_t{1});
    const auto table =
        krelmo::records::LoadHighScoreTable(host->registry, krelmo::engine::Variant::kKrelmo);
    QVERIFY(table.scores.starts_with("9000\n") && table.names.starts_with("Player 1\n"));
  }

  // Owned by no window of the game, so that it stays up when the game minimises; Ctrl+W (and
  // Esc, seen end to end) closes it, and asking again brings the same window back.
  void helpOpensAtItsContentsAsAWindowOfItsOwn() {
    QVERIFY(host->dialogs.ShowHelp());
    HelpWindow* help = host->dialogs.Help();
    QVERIFY(help && help->isVisible() && help->isWindow() && !help->parentWidget());
    QVERIFY(!help->isModal() && help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(help, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!help->isVisible());
    QVERIFY(host->dialogs.ShowHelp());
    QCOMPARE(host->dialogs.Help(), help);
    // Centred, pushed below the menu bar with its frame, shrunk to fit, on the game's screen.
    const QRect screen(0, 0, 1024, 768);
    const QSize pages = HelpWindow::kWantedSize;  // 560 x 520
    const std::tuple<QRect, QMargins, int, QRect> rows[] = {
        {screen, {}, 0, QRect(232, 124, 560, 520)},
        {screen, {4, 24, 4, 4}, 163, QRect(228, 163, 568, 548)},
        {QRect(0, 0, 640, 480), {}, 40, QRect(40, 40, 560, 440)},
        {QRect(1024, 0, 800, 600), {}, 0, QRect(1144, 40, 560, 520)},
    };
    for (const auto& [on, frame, clearBelow, placed] : rows) {
      QCOMPARE(HelpWindow::Placement(on, pages, frame, clearBelow), placed);
    }
  }

 private:
  std::unique_ptr<krelmo::qt::QtPlatform> host;
  int leftOpen = 0;
};

QTEST_MAIN(GameWindowTest)
#include "game_window_test.moc"
