// The modal loop of the game's dialogs and message boxes on Qt: while one is open, the game's
// queued messages keep reaching its window procedure, as a nested loop of its own would.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

#include "platform/message_queue.h"

namespace krelmo::qt {

class ModalLoop {
 public:
  ModalLoop(QWidget& owner, platform::MessageQueue& queue) : owner_(owner), queue_(queue) {}

  // The nested dispatch: the game's DispatchPending, which answers false once it took the
  // quit message.
  void SetNestedDispatch(std::function<bool()> dispatch) { dispatch_ = std::move(dispatch); }

  // Runs `dialog` until it closes, dispatching meanwhile; false when the game quit, in which
  // case the dialog was closed and the quit message is waiting for the outer loop. Either way
  // the owner gets the keyboard back.
  bool Run(QDialog& dialog);

  static constexpr int kDispatchIntervalMs = 5;

 private:
  QWidget& owner_;
  platform::MessageQueue& queue_;
  std::function<bool()> dispatch_;
};

}  // namespace krelmo::qt
