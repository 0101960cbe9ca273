// The game's modal message boxes and About dialog, and its help window, on Qt. While one
// is open the game's queued messages keep reaching its window procedure.
#pragma once

#include <QDialog>
#include <QLineEdit>
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

// The high-score dialog 138: the table with the new entry in place, and the name edit box
// laid in pixels over the new entry's name. "OK" (or Enter) is the only way out. Names are
// single-byte Western text: characters outside it cannot be typed, nor more than 11, nor more
// than the box shows, as it does not scroll.
class HighScoreDialog final : public QDialog {
  Q_OBJECT

 public:
  HighScoreDialog(QWidget* owner, const platform::HighScoreDialogContent& content);

  QLineEdit* NameEdit() const { return edit_; }
  // The edit box's text in the game's code page.
  std::string Name() const;

  static constexpr int kEditId = 5091;
  // In pixels of the dialog: the edit box lies over row `row`'s name.
  static QRect EditRect(int row) { return QRect(13, 46 + 27 * row, 75, 20); }

 protected:
  void reject() override {}                      // Esc does nothing
  void closeEvent(QCloseEvent* event) override;  // nor does a close request

 private:
  QLineEdit* edit_;
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
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override;

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
