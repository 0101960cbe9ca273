// The game's dialogs service on Qt: each call shows its message box, dialog or the help
// window, the modal ones in the modal loop that keeps the game's messages flowing.
#pragma once

#include <QPointer>
#include <functional>

#include "frontend/qt/help_window.h"
#include "frontend/qt/modal_loop.h"
#include "platform/dialogs.h"
#include "platform/message_queue.h"

namespace krelmo::qt {

class QtDialogs final : public platform::Dialogs {
 public:
  QtDialogs(QWidget& owner, platform::MessageQueue& queue);
  ~QtDialogs() override;

  // The nested dispatch that runs while a dialog is open (see ModalLoop).
  void SetNestedDispatch(std::function<bool()> dispatch) {
    loop_.SetNestedDispatch(std::move(dispatch));
  }

  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void ShowAbout() override;
  bool ShowHelp() override;
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override;

  // The help window once opened (tests look at it).
  qt::HelpWindow* Help() const { return help_; }

  static constexpr const char* kHelpPage = ":/help/krelmo.html";

 private:
  QWidget& owner_;
  ModalLoop loop_;
  QPointer<HelpWindow> help_;
};

}  // namespace krelmo::qt
