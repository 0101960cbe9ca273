// The menu bar from resources/menu.h, its texts in the game's code page.
#include "frontend/web/web_menu_bar.h"

#include <string>

#include "frontend/web/web_page.h"
#include "platform/cp1252.h"
#include "resources/menu.h"

namespace krelmo::web {

WebMenuBar::WebMenuBar(platform::MenuModel& menu) : menu_(menu) {
  for (const auto& item : resources::kMainMenu) {
    const std::u32string top = platform::Cp1252ToUnicodeText(item.menu);
    const std::u32string sub = item.submenu ? platform::Cp1252ToUnicodeText(item.submenu) : U"";
    const std::u32string text = item.text ? platform::Cp1252ToUnicodeText(item.text) : U"";
    krelmo_menu_add(top.c_str(), item.submenu ? sub.c_str() : nullptr,
                    item.text ? text.c_str() : nullptr, item.id,
                    static_cast<int>(menu_.GetState(item.id)));
  }
  menu_.SetListener(
      [](int id, std::uint32_t state) { krelmo_menu_state(id, static_cast<int>(state)); });
}

WebMenuBar::~WebMenuBar() {
  menu_.SetListener(nullptr);
}

}  // namespace krelmo::web
