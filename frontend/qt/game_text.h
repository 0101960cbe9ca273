// The game's single-byte text (Windows-1252) as Qt holds it: the menus, the dialogs' texts,
// the messages and names, and the lines the font renderer draws all come through here.
#pragma once

#include <QString>
#include <string_view>

#include "platform/cp1252.h"

namespace krelmo::qt {

inline QString FromGameText(std::string_view bytes) {
  return QString::fromStdU32String(platform::Cp1252ToUnicodeText(bytes));
}

}  // namespace krelmo::qt
