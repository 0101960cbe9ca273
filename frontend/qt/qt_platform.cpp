// Building the Qt front end's services in the order they depend on one another.
#include "frontend/qt/qt_platform.h"

#include "resources/fonts/game_font.h"
#include "resources/menu.h"

namespace krelmo::qt {

namespace {
platform::MenuModel& LoadedMenu(platform::MenuModel& menu) {
  for (const auto& item : resources::kMainMenu) {
    if (item.id != 0) menu.AddItem(item.id, item.initialState);
  }
  return menu;
}
}  // namespace

QtPlatform::QtPlatform()
    : window(surface, queue, LoadedMenu(menu)), platform_{surface,      queue,   pc,   frameHost,
                                                          windowSystem, dialogs, menu, sound,
                                                          joystick,     registry} {
  // The same glyphs as the headless front end: both draw text pixel for pixel alike.
  surface.SetFont(&resources::kGameFont);
}

QtPlatform::~QtPlatform() = default;

}  // namespace krelmo::qt
