// The dialogs service: which Qt dialog answers each call of the game.
#include "frontend/qt/qt_dialogs.h"

#include <QFile>

#include "frontend/qt/embedded_resources.h"
#include "frontend/qt/high_score_dialog.h"
#include "frontend/qt/message_box.h"
#include "frontend/qt/template_dialog.h"
#include "resources/dialogs.h"

namespace krelmo::qt {

QtDialogs::QtDialogs(QWidget& owner, platform::MessageQueue& queue)
    : owner_(owner), loop_(owner, queue) {}

QtDialogs::~QtDialogs() {
  delete help_;
}

int QtDialogs::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  return RunMessageBox(owner_, loop_, text, caption, style);
}

void QtDialogs::ShowAbout() {
  TemplateDialog dialog(&owner_, resources::kAboutDialog);
  loop_.Run(dialog);
}

std::string QtDialogs::ShowHighScoreDialog(const platform::HighScoreDialogContent& content) {
  HighScoreDialog dialog(&owner_, content);
  loop_.Run(dialog);
  return dialog.Name();
}

bool QtDialogs::ShowHelp() {
  EnsureEmbeddedResources();
  if (!QFile::exists(QString::fromLatin1(kHelpPage))) return false;
  if (!help_) {
    help_ = new HelpWindow(owner_);
    help_->setSource(QUrl(QStringLiteral("qrc") + QString::fromLatin1(kHelpPage)));
  }
  help_->ShowContents();
  return true;
}

}  // namespace krelmo::qt
