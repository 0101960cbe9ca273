// The main window: title, icons, the menu bar built from the game's menu table and kept in
// step with its state words, and the window-level events the game hears about.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <map>

#include "frontend/qt/surface_view.h"
#include "platform/menu_model.h"
#include "platform/message_queue.h"
#include "platform/surface.h"

class QAction;
class QMenu;

namespace krelmo::qt {

class GameWindow final : public QMainWindow {
  Q_OBJECT

 public:
  GameWindow(const platform::Surface& surface, platform::MessageQueue& queue,
             platform::MenuModel& menu);
  ~GameWindow() override;

  SurfaceView& View() { return *view_; }
  // The menu action of a command id; null for an id the menu does not hold.
  QAction* MenuAction(int id) const;

  // Moves about to happen on the game's request: they are not the player's, so they do not
  // end with the end-of-move message.
  void ExpectOwnMove();

  static constexpr int kActivationSettleMs = 120;
  static constexpr int kMoveSettleMs = 250;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void BuildMenuBar();
  QMenu* WatchedMenu(QMenu* menu);
  void ShowState(int id, std::uint32_t state);
  void OnApplicationStateChanged(Qt::ApplicationState state);
  void OnActivationChanged();
  bool GameIsActive() const;
  void PostActivation(bool active);

  platform::MessageQueue& queue_;
  platform::MenuModel& menu_;
  SurfaceView* view_;
  std::map<int, QAction*> actions_;
  bool menuClosing_ = false;
  QTimer activationSettle_;
  Qt::ApplicationState applicationState_ = Qt::ApplicationActive;
  bool postedActive_ = true;  // the game starts out active
  QTimer moveSettle_;
  QElapsedTimer sinceOwnMove_;
};

}  // namespace krelmo::qt
