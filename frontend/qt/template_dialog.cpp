// Dialog templates turned into Qt widgets: pixels from dialog units, the font that fits, the
// place over the owner's client area.
#include "frontend/qt/template_dialog.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include "frontend/qt/game_text.h"

namespace krelmo::qt {

namespace {

using resources::ControlKind;

QRect ToPixels(const resources::DialogRect& units) {
  const resources::DialogRect pixels = resources::DialogUnitsToPixels(units);
  return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

bool IsText(const resources::DialogControl& control) {
  return control.kind == ControlKind::kText || control.kind == ControlKind::kRightText;
}

// The template was designed for a narrow 8-point face: the largest size of ours at which every
// line of its texts still fits its box.
QFont FittingFont(QFont font, const resources::DialogTemplate& dialog) {
  for (int pixels = 11; pixels > 7; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    bool fits = true;
    for (const resources::DialogControl& control : dialog.controls) {
      if (!IsText(control)) continue;
      const int width = ToPixels(control.rect).width();
      for (const QString& line : FromGameText(control.text).split(QLatin1Char('\n'))) {
        if (metrics.horizontalAdvance(line) > width) fits = false;
      }
    }
    if (fits) break;
  }
  return font;
}

QWidget* MakeControl(const resources::DialogControl& control, Qt::Alignment vertical,
                     QDialog& dialog) {
  const QString text = FromGameText(control.text);
  switch (control.kind) {
    case ControlKind::kDefaultButton: {
      auto* button = new QPushButton(text, &dialog);
      button->setDefault(true);
      if (!control.tabStop) button->setFocusPolicy(Qt::NoFocus);
      QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
      return button;
    }
    case ControlKind::kGroupBox: {
      auto* group = new QGroupBox(text, &dialog);
      group->lower();  // behind the texts inside it
      return group;
    }
    case ControlKind::kText:
    case ControlKind::kRightText: {
      // Taken as it stands: a name typed into a high score is never read as markup, as
      // "<b>Al</b>" or "x&lt;y" would be.
      auto* label = new QLabel(&dialog);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(vertical |
                          (control.kind == ControlKind::kText ? Qt::AlignLeft : Qt::AlignRight));
      return label;
    }
  }
  return nullptr;
}

}  // namespace

TemplateDialog::TemplateDialog(QWidget* owner, const resources::DialogTemplate& dialog,
                               bool centred)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(FromGameText(dialog.caption));
  setModal(true);
  setFont(FittingFont(font(), dialog));
  setFixedSize(ToPixels(dialog.frame).size());
  for (const resources::DialogControl& control : dialog.controls) {
    QWidget* widget = MakeControl(control, centred ? Qt::AlignVCenter : Qt::AlignTop, *this);
    widget->setGeometry(ToPixels(control.rect));
    if (control.id != resources::kNoControlId) {
      widget->setProperty("controlId", control.id);
      controls_[control.id] = widget;
    }
  }
  if (!owner) return;
  const auto* window = qobject_cast<QMainWindow*>(owner);
  const QWidget* client = window && window->centralWidget() ? window->centralWidget() : owner;
  move(client->mapToGlobal(ToPixels(dialog.frame).topLeft()));
}

QWidget* TemplateDialog::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void TemplateDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace krelmo::qt
