// The game's help: its own pages in a window that stands for the separate help program the
// game was made to call on. Above the game, clear of its menu bar, closed from the keyboard.
#pragma once

#include <QPointer>
#include <QTextBrowser>

namespace krelmo::qt {

// A top-level window of its own, owned by no other, so that it stays up when the game
// minimises on losing the activation to it.
class HelpWindow final : public QTextBrowser {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget& game);

  // Shows the pages at their contents, placed on the game's screen, and activates the help.
  void ShowContents();

  // The help's frame on the screen: its pages of the wanted size in the window system's
  // frame, centred on the screen's available area, but with the top no higher than
  // `clearBelow`, and shrunk to what fits on the screen.
  static QRect Placement(const QRect& screen, QSize wanted, QMargins frame, int clearBelow);

  static constexpr QSize kWantedSize{560, 520};

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> game_;
};

// The help stands in for another program: the game is inactive while it is the active window.
inline bool IsOtherProgram(const QWidget* window) {
  return qobject_cast<const HelpWindow*>(window) != nullptr;
}

}  // namespace krelmo::qt
