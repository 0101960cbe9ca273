// Message boxes, the About dialog and the help window, with the nested dispatch that keeps
// the game's messages flowing while one is open.
#include "frontend/qt/qt_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QValidator>
#include <array>
#include <cmath>

#include "frontend/qt/embedded_resources.h"
#include "frontend/qt/help_window.h"
#include "platform/cp1252.h"

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

// The high-score template, in dialog units: the dialog's place and size, the name statics
// 1002 to 1006 and the score statics 1007 to 1011.
constexpr int kScoresX = 150, kScoresY = 80, kScoresWidth = 121, kScoresHeight = 138;
constexpr std::array<QRect, 5> kNameStatics{
    {{10, 30, 53, 8}, {10, 47, 53, 8}, {10, 64, 55, 8}, {10, 81, 49, 8}, {10, 98, 55, 8}}};
constexpr std::array<QRect, 5> kScoreStatics{
    {{76, 30, 35, 8}, {76, 47, 35, 8}, {76, 64, 35, 8}, {76, 81, 35, 8}, {72, 98, 39, 8}}};
constexpr const char* kScoresHeader = "You got a High Score!";

QString FromCp1252(std::string_view text) {
  QString out;
  for (const char c : text) {
    out.append(
        QChar(static_cast<char16_t>(platform::Cp1252ToUnicode(static_cast<std::uint8_t>(c)))));
  }
  return out;
}

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

// Every text a dialog shows is taken as it stands: a name typed into a high score (or a file
// name in a message) is never read as markup, as "<b>Al</b>" or "x&lt;y" would be.
QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  return label;
}

QRect DialogRect(const QRect& units) {
  return AboutDialog::FromDialogUnits(units.x(), units.y(), units.width(), units.height());
}

// A template's place is counted from the owner's client area.
void PlaceOverClient(QDialog& dialog, QWidget* owner, int x, int y) {
  if (!owner) return;
  const auto* window = qobject_cast<QMainWindow*>(owner);
  const QWidget* client = window && window->centralWidget() ? window->centralWidget() : owner;
  dialog.move(client->mapToGlobal(AboutDialog::FromDialogUnits(x, y, 0, 0).topLeft()));
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
    auto* label = PlainLabel(QString::fromLatin1(item.text), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(FromDialogUnits(item.left, item.top, item.width, item.height));
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(FromDialogUnits(62, 120, 49, 14));
  ok->setDefault(true);
  ok->setProperty("controlId", platform::IDOK);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  PlaceOverClient(*this, owner, kAboutX, kAboutY);
}

void AboutDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
}

HighScoreDialog::HighScoreDialog(QWidget* owner, const platform::HighScoreDialogContent& content)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Congrats!"));
  setModal(true);
  QFont font = this->font();
  // The largest size of ours at which the header fits its box.
  const QRect header = DialogRect({26, 7, 72, 10});
  for (int pixels = 11; pixels > 7; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(QString::fromLatin1(kScoresHeader)) <=
        header.width()) {
      break;
    }
  }
  setFont(font);
  setFixedSize(AboutDialog::FromDialogUnits(0, 0, kScoresWidth, kScoresHeight).size());

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(DialogRect({35, 117, 50, 14}));
  ok->setDefault(true);
  ok->setFocusPolicy(Qt::NoFocus);  // not a tab stop: the edit box has the focus
  ok->setProperty("controlId", platform::IDOK);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* group = new QGroupBox(QString(), this);
  group->setGeometry(DialogRect({21, 0, 80, 19}));
  auto* title = PlainLabel(QString::fromLatin1(kScoresHeader), this);
  title->setGeometry(header);
  for (int row = 0; row < 5; ++row) {
    auto* name = PlainLabel(FromCp1252(content.names[row]), this);
    name->setGeometry(DialogRect(kNameStatics[row]));
    name->setProperty("controlId", 1002 + row);
    auto* score = PlainLabel(FromCp1252(content.scores[row]), this);
    score->setGeometry(DialogRect(kScoreStatics[row]));
    score->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    score->setProperty("controlId", 1007 + row);
  }
  edit_ = new QLineEdit(this);
  edit_->setGeometry(EditRect(std::clamp(content.editRow, 0, 4)));
  edit_->setProperty("controlId", kEditId);
  edit_->setMaxLength(platform::kMaxNameLength);
  edit_->setValidator(new NameValidator(edit_));
  edit_->setText(FromCp1252(content.editText));
  edit_->selectAll();
  edit_->setFocus();
  PlaceOverClient(*this, owner, kScoresX, kScoresY);
}

std::string HighScoreDialog::Name() const {
  std::string out;
  for (const QChar c : edit_->text())
    out.push_back(static_cast<char>(platform::UnicodeToCp1252(c.unicode()).value_or('?')));
  return out.substr(0, platform::kMaxNameLength);
}

void HighScoreDialog::closeEvent(QCloseEvent* event) {
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
  // The window gets the keyboard back as the dialog goes, whether or not a window manager
  // would give it: its focus reaches the game as WM_SETFOCUS, as the headless dialogs post it.
  if (!QApplication::activeModalWidget()) owner_.activateWindow();
  return !quit;
}

int QtDialogs::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  const bool yesNo = (style & kButtonsMask) == platform::MB_YESNO;
  QuestionBox box(&owner_, yesNo);
  box.setWindowTitle(Latin1(caption));
  box.setTextFormat(Qt::PlainText);
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

std::string QtDialogs::ShowHighScoreDialog(const platform::HighScoreDialogContent& content) {
  HighScoreDialog dialog(&owner_, content);
  RunModal(dialog);
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
