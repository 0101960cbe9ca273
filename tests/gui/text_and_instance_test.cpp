// The front end's pieces below the window: the game's glyph table against Qt's drawing, and the
// one-game-per-user rule with its hand-over.
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <string>

#include "frontend/qt/qt_font_renderer.h"
#include "frontend/qt/single_instance.h"
#include "platform/surface.h"
#include "resources/fonts/game_font.h"

using krelmo::qt::SingleInstance;

class TextAndInstanceTest : public QObject {
  Q_OBJECT

 private slots:
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
      if (font.IsPrintable(static_cast<unsigned char>(code))) every += static_cast<char>(code);
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
