// The main window and its menu bar.
#include "frontend/qt/game_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMoveEvent>
#include <QProxyStyle>
#include <QWindow>

#include "frontend/qt/game_text.h"
#include "frontend/qt/help_window.h"
#include "frontend/qt/window_icon.h"
#include "resources/menu.h"

namespace krelmo::qt {

namespace {
// A move this soon after one the game asked for is taken as the window system settling it.
constexpr qint64 kOwnMoveWindowMs = 500;

// The application's style, except that the menu bar does not take the keyboard as a menu
// closes. Esc on a menu would leave the bar holding it, with nothing on screen to say so,
// and F2, F3 and Esc would go nowhere; a key pressed next may already be queued, so the
// bar must not take it even for a moment. Alt alone still takes the menus to the keyboard.
class MenuBarStyle final : public QProxyStyle {
 public:
  explicit MenuBarStyle(const bool& menuClosing) : menuClosing_(menuClosing) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_MenuBar_AltKeyNavigation && menuClosing_) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

 private:
  const bool& menuClosing_;
};
}  // namespace

GameWindow::GameWindow(const platform::Surface& surface, platform::MessageQueue& queue,
                       platform::MenuModel& menu)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      queue_(queue),
      menu_(menu),
      view_(new SurfaceView(surface, queue, this)) {
  setWindowTitle(QStringLiteral("Krelmo '99"));
  setWindowIcon(GameIcon());
  setCentralWidget(view_);
  setFocusProxy(view_);
  view_->setFocus();
  BuildMenuBar();
  // Fixed at the client area plus the menu bar: no sizing border, no maximising.
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  // Focus changes between our own windows pass through "inactive" for a moment: only a
  // loss that holds is reported. A gain is reported at once, so that a key pressed right
  // after coming back is not taken for one pressed while away.
  activationSettle_.setSingleShot(true);
  activationSettle_.setInterval(kActivationSettleMs);
  connect(&activationSettle_, &QTimer::timeout, this, [this] {
    if (!GameIsActive()) PostActivation(false);
  });
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          &GameWindow::OnApplicationStateChanged);
  // The help window stands in for another program: its activation is the game's loss.
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &GameWindow::OnActivationChanged);

  moveSettle_.setSingleShot(true);
  moveSettle_.setInterval(kMoveSettleMs);
  connect(&moveSettle_, &QTimer::timeout, this, [this] { queue_.PostMessage(WM_EXITSIZEMOVE); });
  // The window system's first placement of the window is not a drag either.
  ExpectOwnMove();
}

GameWindow::~GameWindow() {
  menu_.SetListener(nullptr);
}

void GameWindow::BuildMenuBar() {
  // Kept inside the window, where the game's layout expects it, never in a global bar.
  menuBar()->setNativeMenuBar(false);
  std::map<std::string, QMenu*> menus;
  for (const auto& item : resources::kMainMenu) {
    const std::string top = item.menu;
    QMenu*& topMenu = menus[top];
    if (!topMenu) topMenu = WatchedMenu(menuBar()->addMenu(FromGameText(item.menu)));
    QMenu* parent = topMenu;
    if (item.submenu) {
      QMenu*& sub = menus[top + '/' + item.submenu];
      if (!sub) sub = WatchedMenu(topMenu->addMenu(FromGameText(item.submenu)));
      parent = sub;
    }
    if (!item.text) {
      parent->addSeparator();
      continue;
    }
    // The text after the tab shows as the item's key hint; the keys themselves reach the
    // game as key messages, so the actions get no shortcuts of their own.
    QAction* action = parent->addAction(FromGameText(item.text));
    action->setData(item.id);
    actions_[item.id] = action;
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] {
      // Qt flips a checkable item by itself; the game decides, so show its word again.
      ShowState(id, menu_.GetState(id));
      queue_.PostMessage(WM_COMMAND, static_cast<WPARAM>(id));
    });
    ShowState(id, menu_.GetState(id));
  }
  menu_.SetListener([this](int id, std::uint32_t state) { ShowState(id, state); });
  // The window owns the style, and lets go of it only after the menu bar.
  auto* barStyle = new MenuBarStyle(menuClosing_);
  barStyle->setParent(this);
  menuBar()->setStyle(barStyle);
}

QMenu* GameWindow::WatchedMenu(QMenu* menu) {
  // However the last menu closes, the keyboard goes back to the game. The menu bar is kept
  // from taking it as the menu goes (see MenuBarStyle); a menu bar that held it before the
  // menu opened (Alt, then a menu) gives it back once the menu is gone.
  connect(menu, &QMenu::aboutToHide, this, [this] {
    menuClosing_ = true;
    QTimer::singleShot(0, this, [this] {
      menuClosing_ = false;
      if (menuBar()->hasFocus() && !QApplication::activePopupWidget()) {
        // The window never lost the focus: the game hears of no new focus.
        view_->setFocus(Qt::PopupFocusReason);
      }
    });
  });
  return menu;
}

void GameWindow::ShowState(int id, std::uint32_t state) {
  QAction* action = MenuAction(id);
  if (!action) return;
  const bool checked = (state & platform::MFS_CHECKED) != 0;
  action->setCheckable(checked);
  action->setChecked(checked);
  action->setEnabled((state & platform::MFS_GRAYED) == 0);
}

QAction* GameWindow::MenuAction(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void GameWindow::OnApplicationStateChanged(Qt::ApplicationState state) {
  applicationState_ = state;
  OnActivationChanged();
}

bool GameWindow::GameIsActive() const {
  return applicationState_ == Qt::ApplicationActive &&
         !IsOtherProgram(QApplication::activeWindow());
}

void GameWindow::OnActivationChanged() {
  if (GameIsActive()) {
    activationSettle_.stop();
    PostActivation(true);
  } else {
    activationSettle_.start();
  }
}

void GameWindow::PostActivation(bool active) {
  if (active == postedActive_) return;
  postedActive_ = active;
  queue_.PostMessage(WM_ACTIVATEAPP, active ? 1 : 0);
}

void GameWindow::ExpectOwnMove() {
  sinceOwnMove_.start();
}

void GameWindow::closeEvent(QCloseEvent* event) {
  // The game decides: its window procedure posts the quit message.
  queue_.PostMessage(WM_CLOSE);
  event->ignore();
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
  // Keys the menu bar did not take while it had the keyboard: Alt+F4 still closes.
  if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
    queue_.PostMessage(WM_CLOSE);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void GameWindow::moveEvent(QMoveEvent* event) {
  const QPoint client = view_->mapToGlobal(QPoint(0, 0));
  queue_.PostMessage(WM_MOVE, 0, MakePointLParam(client.x(), client.y()));
  if (!sinceOwnMove_.isValid() || sinceOwnMove_.elapsed() > kOwnMoveWindowMs) {
    // The player is dragging the window: the end of the drag re-places it.
    moveSettle_.start();
  }
  QMainWindow::moveEvent(event);
}

}  // namespace krelmo::qt
