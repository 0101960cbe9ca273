// The game's modal message boxes and About dialog, and its help window, on Qt. While one
// is open the game's queued messages keep reaching its window procedure.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "frontend/qt/help_window.h"
#include "platform/dialogs.h"
#include "platform/message_queue.h"

namespace krelmo::qt {

// The About box: laid out from its dialog-unit template, closed only by "OK".
class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* owner);

  // Dialog units of "MS Sans Serif" 8 pt, in pixels.
  static QRect FromDialogUnits(int left, int top, int width, int height);

 protected:
  void reject() override {}                      // Esc does nothing
  void closeEvent(QCloseEvent* event) override;  // nor does a close request
};

class QtDialogs final : public platform::Dialogs {
 public:
  QtDialogs(QWidget& owner, platform::MessageQueue& queue);
  ~QtDialogs() override;

  // The nested dispatch that runs while a dialog is open: the game's DispatchPending, which
  // answers false once it took the quit message.
  void SetNestedDispatch(std::function<bool()> dispatch) { dispatch_ = std::move(dispatch); }

  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void ShowAbout() override;
  bool ShowHelp() override;

  // The help window once opened (tests look at it).
  qt::HelpWindow* Help() const { return help_; }

  static constexpr int kDispatchIntervalMs = 5;
  static constexpr const char* kHelpPage = ":/help/krelmo.html";

 private:
  // exec() with the nested dispatch running; false when the game quit meanwhile.
  bool RunModal(QDialog& dialog);

  QWidget& owner_;
  platform::MessageQueue& queue_;
  std::function<bool()> dispatch_;
  QPointer<HelpWindow> help_;
};

}  // namespace krelmo::qt
