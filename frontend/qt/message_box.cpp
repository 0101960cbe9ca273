// Message boxes: QMessageBox with the style word's buttons and icon, shown as plain text.
#include "frontend/qt/message_box.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "frontend/qt/game_text.h"
#include "platform/dialogs.h"

namespace krelmo::qt {

namespace {

// A Yes/No question has no way out but its two buttons: Esc (even held down since it
// asked) and the close request leave it open.
class QuestionBox final : public QMessageBox {
 public:
  QuestionBox(QWidget* owner, bool yesNo) : QMessageBox(owner), yesNo_(yesNo) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (yesNo_ && event->key() == Qt::Key_Escape) return;
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (yesNo_) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool yesNo_;
};

}  // namespace

int RunMessageBox(QWidget& owner, ModalLoop& loop, std::string_view text, std::string_view caption,
                  std::uint32_t style) {
  const bool yesNo = (style & platform::MB_TYPEMASK) == platform::MB_YESNO;
  QuestionBox box(&owner, yesNo);
  box.setWindowTitle(FromGameText(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(FromGameText(text));
  switch (style & platform::MB_ICONMASK) {
    case platform::MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case platform::MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    default:
      break;
  }
  QAbstractButton* yes = nullptr;
  if (yesNo) {
    // The first button is the default one, as in the game's message boxes.
    box.setDefaultButton(box.addButton(QMessageBox::Yes));
    yes = box.defaultButton();
    box.addButton(QMessageBox::No);
  } else {
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
  }
  const bool alive = loop.Run(box);
  if (!yesNo) return platform::IDOK;
  return alive && box.clickedButton() == yes ? platform::IDYES : platform::IDNO;
}

}  // namespace krelmo::qt
