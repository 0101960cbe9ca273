// The high-score dialog: the table's statics filled in, the name box and what it takes.
#include "frontend/qt/high_score_dialog.h"

#include <QLabel>
#include <QStyle>
#include <QValidator>
#include <algorithm>

#include "frontend/qt/game_text.h"
#include "platform/cp1252.h"

namespace krelmo::qt {

namespace {

// Takes only what the game can store and the box can show.
class NameValidator final : public QValidator {
 public:
  explicit NameValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}
  State validate(QString& input, int&) const override {
    for (const QChar c : input) {
      if (!platform::UnicodeToCp1252(c.unicode()) || c.unicode() < 0x20) return Invalid;
    }
    const int frame = edit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit_);
    const int room = edit_->width() - 2 * frame - 4;
    return edit_->fontMetrics().horizontalAdvance(input) > room ? Invalid : Acceptable;
  }

 private:
  QLineEdit* edit_;
};

void SetText(const TemplateDialog& dialog, int id, std::string_view text) {
  if (auto* label = qobject_cast<QLabel*>(dialog.Control(id))) label->setText(FromGameText(text));
}

}  // namespace

HighScoreDialog::HighScoreDialog(QWidget* owner, const platform::HighScoreDialogContent& content)
    : TemplateDialog(owner, resources::kHighScoreDialog, /*centred=*/true) {
  for (std::size_t row = 0; row < content.names.size(); ++row) {
    const int offset = static_cast<int>(row);
    SetText(*this, resources::IDC_HIGH_SCORE_NAME1 + offset, content.names[row]);
    SetText(*this, resources::IDC_HIGH_SCORE_SCORE1 + offset, content.scores[row]);
  }
  edit_ = new QLineEdit(this);
  const resources::DialogRect box = resources::NameBoxPixels(
      std::clamp(content.editRow, 0, static_cast<int>(content.names.size()) - 1));
  edit_->setGeometry(box.left, box.top, box.width, box.height);
  edit_->setProperty("controlId", resources::IDC_HIGH_SCORE_NAME_BOX);
  edit_->setMaxLength(platform::kMaxNameLength);
  edit_->setValidator(new NameValidator(edit_));
  edit_->setText(FromGameText(content.editText));
  edit_->selectAll();
  edit_->setFocus();
}

std::string HighScoreDialog::Name() const {
  return platform::UnicodeToCp1252Text(edit_->text().toStdU32String())
      .substr(0, platform::kMaxNameLength);
}

}  // namespace krelmo::qt
