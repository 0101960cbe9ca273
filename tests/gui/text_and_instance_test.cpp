// The front end's pieces below the window: the game's text font, the key codes a PC
// keyboard would report, and the one-game-per-user rule with its hand-over.
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <future>

#include "frontend/qt/key_translation.h"
#include "frontend/qt/qt_font_renderer.h"
#include "frontend/qt/single_instance.h"
#include "platform/surface.h"

using krelmo::qt::ScanCodeFor;
using krelmo::qt::SingleInstance;
using krelmo::qt::VirtualKeyFor;

class TextAndInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void textIsDrawnInTheEmbeddedFontWithHardEdges() {
    const krelmo::qt::QtFontRenderer font;
    QVERIFY(font.UsesEmbeddedFont());
    QCOMPARE(font.Font().family(), QStringLiteral("DejaVu Sans"));

    const auto mask = font.Render("Paused - <F3> to resume");
    // A line fits the 20-pixel scoreboard bar, and is no block of stand-in cells.
    QVERIFY(mask.height >= 12 && mask.height <= krelmo::qt::QtFontRenderer::kMaxLineHeight);
    QVERIFY(mask.width > 100 && mask.width < 250);
    QCOMPARE(mask.ink.size(), std::size_t(mask.width * mask.height));
    std::size_t inked = 0;
    for (auto bit : mask.ink) {
      QVERIFY(bit == 0 || bit == 1);
      inked += bit;
    }
    QVERIFY(inked > 100 && inked < mask.ink.size() / 2);
    // The same text always gives the same pixels.
    QVERIFY(font.Render("Paused - <F3> to resume").ink == mask.ink);
    QCOMPARE(font.Render("").width, 0);
    QVERIFY(font.Render("W").width > font.Render("i").width);
  }

  void textOnTheSurfaceReadsBackInExactlyTwoColours() {
    const krelmo::qt::QtFontRenderer font;
    krelmo::platform::Surface surface;
    surface.SetFontRenderer(&font);
    surface.SetTextColor(krelmo::RGB(255, 255, 0));
    surface.SetBkColor(krelmo::RGB(0, 0, 0));
    surface.TextOutA(279, 165, "Krelmo '99");
    int yellow = 0;
    for (int y = 165; y < 165 + 16; ++y) {
      for (int x = 279; x < 279 + 80; ++x) {
        const auto pixel = surface.GetPixel(x, y);
        QVERIFY(pixel == krelmo::RGB(255, 255, 0) || pixel == 0);
        yellow += pixel != 0;
      }
    }
    QVERIFY(yellow > 50);
  }

  void keysCarryTheScanCodesOfAPcKeyboard() {
    // F2, F3, Esc and letters are checked through the window, as the player presses them.
    QVERIFY(!VirtualKeyFor(Qt::Key_VolumeUp));

    // X11 and Wayland report Linux input codes plus 8: F2 is 68, Up is 111.
    auto scan = ScanCodeFor(68, true, krelmo::VK_F2);
    QCOMPARE(scan.code, 0x3Cu);
    QVERIFY(!scan.extended);
    scan = ScanCodeFor(111, true, 38);
    QCOMPARE(scan.code, 0x48u);
    QVERIFY(scan.extended);
    // With no native code, a US keyboard's codes by virtual key.
    QCOMPARE(ScanCodeFor(0, false, 38).code, 0x48u);
    QVERIFY(ScanCodeFor(0, false, 38).extended);
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
    for (const QByteArray& stranger :
         {QByteArray("hello\n"), QByteArray("Krelmo\nKrelmo\n"), QByteArray("Krelmo")}) {
      QLocalSocket socket;
      socket.connectToServer(server);
      QVERIFY(socket.waitForConnected(2000));
      socket.write(stranger);
      QVERIFY(socket.waitForBytesWritten(2000));
      QTest::qWait(50);
      socket.abort();
    }

    SingleInstance second(lockPath, server);
    QVERIFY(!second.Claim());
    auto delivered = std::async(std::launch::async, [&] { return second.HandOver(5000); });
    QTRY_COMPARE(handOvers, 1);
    QVERIFY(delivered.get());
    QTest::qWait(50);
    QCOMPARE(handOvers, 1);
  }

  void theLockOfACrashedRunIsTakenOver() {
    QTemporaryDir folder;
    const QString lockPath = folder.filePath(QStringLiteral("Krelmo"));
    // A lock file left by a process that is gone.
    QFile lock(lockPath);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("999999\ntrue\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    SingleInstance restarted(lockPath, ServerName());
    QVERIFY(restarted.Claim());
    // And holds it: another start now defers to it.
    SingleInstance second(lockPath, ServerName());
    QVERIFY(!second.Claim());
  }

 private:
  static QString ServerName() {
    return QStringLiteral("krelmo-gui-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++serial);
  }
  static inline int serial = 0;
};

QTEST_MAIN(TextAndInstanceTest)
#include "text_and_instance_test.moc"
