// The help window: placing it, keeping it above the game, and its keys.
#include "frontend/qt/help_window.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace krelmo::qt {

HelpWindow::HelpWindow(QWidget& game) : QTextBrowser(nullptr), game_(&game) {
  // The game keeps itself topmost: the help must be topmost too to be seen above it.
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setWindowTitle(QStringLiteral("Krelmo '99 Help"));
  setOpenExternalLinks(false);
  resize(kWantedSize);
  // Whenever the game comes back to the front, the help is put above it again.
  game.installEventFilter(this);
}

QRect HelpWindow::Placement(const QRect& screen, QSize wanted, QMargins frame, int clearBelow) {
  const QSize framed = wanted.grownBy(frame).boundedTo(screen.size());
  const int left = screen.left() + (screen.width() - framed.width()) / 2;
  const int centredTop = screen.top() + (screen.height() - framed.height()) / 2;
  const int top = std::max(centredTop, clearBelow);
  const int height = std::min(framed.height(), screen.top() + screen.height() - top);
  return QRect(left, top, framed.width(), height);
}

void HelpWindow::ShowContents() {
  home();
  QRect screen(QPoint(0, 0), kWantedSize);
  int clearBelow = 0;
  if (game_) {
    if (const QScreen* gameScreen = game_->screen()) screen = gameScreen->availableGeometry();
    // The game's menus stay within reach while the game is on the screen.
    const auto* main = qobject_cast<QMainWindow*>(game_.data());
    if (main && !main->isMinimized() && main->menuWidget()) {
      const QWidget* bar = main->menuWidget();
      clearBelow = bar->mapToGlobal(QPoint(0, bar->height())).y();
    }
  }
  // The frame the window system draws is known once the help has been on the screen.
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const QMargins frame =
      isVisible() ? QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom())
                  : QMargins();
  const QRect placed = Placement(screen, kWantedSize, frame, clearBelow);
  // A window's position is that of its frame.
  move(placed.topLeft());
  resize(placed.size().shrunkBy(frame));
  show();
  raise();
  activateWindow();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close) ||
      (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
    close();
    return;
  }
  QTextBrowser::keyPressEvent(event);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == game_ && event->type() == QEvent::WindowActivate && isVisible()) {
    // After the game has done raising itself.
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) raise();
    });
  }
  return QTextBrowser::eventFilter(watched, event);
}

}  // namespace krelmo::qt
