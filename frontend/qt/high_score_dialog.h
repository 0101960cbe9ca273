// The high-score dialog on Qt: its template filled in with the table as the game's records
// give it, and the name box laid in pixels over the new entry's name.
#pragma once

#include <QLineEdit>
#include <string>

#include "frontend/qt/template_dialog.h"
#include "platform/dialogs.h"

namespace krelmo::qt {

// "OK" (or Enter) is the only way out. Names are single-byte Western text: characters outside
// it cannot be typed, nor more than kMaxNameLength, nor more than the box shows, as it does
// not scroll.
class HighScoreDialog final : public TemplateDialog {
  Q_OBJECT

 public:
  HighScoreDialog(QWidget* owner, const platform::HighScoreDialogContent& content);

  QLineEdit* NameEdit() const { return edit_; }
  // The name box's text in the game's code page.
  std::string Name() const;

 private:
  QLineEdit* edit_;
};

}  // namespace krelmo::qt
