// A dialog's exec() with the game's dispatch on a timer beside it.
#include "frontend/qt/modal_loop.h"

#include <QApplication>
#include <QTimer>

namespace krelmo::qt {

bool ModalLoop::Run(QDialog& dialog) {
  bool quit = false;
  // This dialog's own dispatch can fire again while an inner dialog opened by it runs;
  // that one dispatches then.
  bool dispatching = false;
  QTimer dispatcher;
  dispatcher.setInterval(kDispatchIntervalMs);
  QObject::connect(&dispatcher, &QTimer::timeout, [&] {
    if (!dispatch_ || dispatching || quit) return;
    dispatching = true;
    const bool alive = dispatch_();
    dispatching = false;
    if (!alive) {
      // The quit message belongs to the outer loop: hand it back and close.
      quit = true;
      dispatcher.stop();
      queue_.PostQuitMessage(0);
      dialog.done(QDialog::Rejected);
    }
  });
  dispatcher.start();
  dialog.exec();
  // The window gets the keyboard back as the dialog goes, whether or not a window manager
  // would give it: its focus reaches the game as WM_SETFOCUS, as the headless dialogs post it.
  if (!QApplication::activeModalWidget()) owner_.activateWindow();
  return !quit;
}

}  // namespace krelmo::qt
