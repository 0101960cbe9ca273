// A dialog laid out on Qt from its template (resources/dialogs.h): the About dialog as it
// stands, and the frame that the high-score dialog fills in.
#pragma once

#include <QDialog>
#include <map>

#include "resources/dialogs.h"

namespace krelmo::qt {

// Modal, placed over the owner's client area, its controls at their places in pixels, each
// with its template id as the property "controlId". Our font has not the template's metrics:
// it takes the largest size at which every text of the template fits its box, and the texts
// stand at the top of their boxes or, `centred`, in their middle.
class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  TemplateDialog(QWidget* owner, const resources::DialogTemplate& dialog, bool centred = false);

  // The control of a template id; null for an id the template does not hold.
  QWidget* Control(int id) const;

 protected:
  void reject() override {}                      // Esc does nothing
  void closeEvent(QCloseEvent* event) override;  // nor does a close request

 private:
  std::map<int, QWidget*> controls_;
};

}  // namespace krelmo::qt
