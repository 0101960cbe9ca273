// Message boxes, the About dialog and the help window, with the nested dispatch that keeps
// the game's messages flowing while one is open.
#include "frontend/qt/qt_dialogs.h"

#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cmath>

#include "frontend/qt/embedded_resources.h"
#include "frontend/qt/help_window.h"

namespace krelmo::qt {

namespace {

constexpr std::uint32_t kButtonsMask = 0x0F;
constexpr std::uint32_t kIconMask = 0xF0;
constexpr std::uint32_t kIconHand = 0x10;
constexpr std::uint32_t kIconQuestion = 0x20;
constexpr std::uint32_t kIconAsterisk = 0x40;

// The About template, in dialog units.
constexpr int kAboutWidth = 173;
constexpr int kAboutHeight = 141;
constexpr int kAboutX = 120;
constexpr int kAboutY = 60;

struct AboutText {
  const char* text;
  int left, top, width, height;
};
constexpr std::array<AboutText, 5> kAboutTexts{{
    {"Krelmo '99", 67, 16, 38, 8},
    {"Game design and code by Tenvarre", 25, 35, 123, 8},
    {"Version 1.0", 51, 46, 70, 8},
    {"Use at your own risk.", 52, 80, 68, 9},
    {"The author claims no responsibility for \n the use or inability to use this software.", 26,
     91, 124, 18},
}};

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The template was designed for a narrow 8-point face: take the largest size of ours at
// which every text still fits its box.
QFont AboutFont(const QFont& base) {
  QFont font = base;
  for (int pixels = 11; pixels > 7; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    bool fits = true;
    for (const AboutText& item : kAboutTexts) {
      const QRect box = AboutDialog::FromDialogUnits(item.left, item.top, item.width, item.height);
      for (const QString& line : QString::fromLatin1(item.text).split(QLatin1Char('\n'))) {
        if (metrics.horizontalAdvance(line) > box.width()) fits = false;
      }
    }
    if (fits) break;
  }
  return font;
}

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

QRect AboutDialog::FromDialogUnits(int left, int top, int width, int height) {
  const auto across = [](int units) { return static_cast<int>(std::lround(units * 1.5)); };
  const auto down = [](int units) { return static_cast<int>(std::lround(units * 1.625)); };
  return QRect(across(left), down(top), across(width), down(height));
}

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("About Krelmo"));
  setModal(true);
  setFont(AboutFont(font()));
  setFixedSize(FromDialogUnits(0, 0, kAboutWidth, kAboutHeight).size());

  // The group box first, so that the texts inside it lie above it.
  auto* group = new QGroupBox(QStringLiteral("Important"), this);
  group->setGeometry(FromDialogUnits(19, 66, 136, 50));
  for (const AboutText& item : kAboutTexts) {
    auto* label = new QLabel(QString::fromLatin1(item.text), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(FromDialogUnits(item.left, item.top, item.width, item.height));
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(FromDialogUnits(62, 120, 49, 14));
  ok->setDefault(true);
  ok->setProperty("controlId", platform::IDOK);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  // The template's place is counted from the owner's client area.
  if (owner) {
    const auto* window = qobject_cast<QMainWindow*>(owner);
    const QWidget* client = window && window->centralWidget() ? window->centralWidget() : owner;
    move(client->mapToGlobal(FromDialogUnits(kAboutX, kAboutY, 0, 0).topLeft()));
  }
}

void AboutDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
}

QtDialogs::QtDialogs(QWidget& owner, platform::MessageQueue& queue)
    : owner_(owner), queue_(queue) {}

QtDialogs::~QtDialogs() {
  delete help_;
}

bool QtDialogs::RunModal(QDialog& dialog) {
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
  return !quit;
}

int QtDialogs::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  const bool yesNo = (style & kButtonsMask) == platform::MB_YESNO;
  QuestionBox box(&owner_, yesNo);
  box.setWindowTitle(Latin1(caption));
  box.setText(Latin1(text));
  switch (style & kIconMask) {
    case platform::MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case kIconHand:
      box.setIcon(QMessageBox::Critical);
      break;
    case kIconQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case kIconAsterisk:
      box.setIcon(QMessageBox::Information);
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
  const bool alive = RunModal(box);
  if (!yesNo) return platform::IDOK;
  return alive && box.clickedButton() == yes ? platform::IDYES : platform::IDNO;
}

void QtDialogs::ShowAbout() {
  AboutDialog dialog(&owner_);
  RunModal(dialog);
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
