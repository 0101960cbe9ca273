// Registration of the resource file compiled from krelmo_qt.qrc.
#include "frontend/qt/embedded_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterKrelmoResources() {
  Q_INIT_RESOURCE(krelmo_qt);
}

namespace krelmo::qt {

void EnsureEmbeddedResources() {
  static const bool registered = (RegisterKrelmoResources(), true);
  (void)registered;
}

}  // namespace krelmo::qt
