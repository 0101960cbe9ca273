// The game's message boxes on Qt: the caption, text, buttons and icon its style word asks for.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string_view>

#include "frontend/qt/modal_loop.h"

namespace krelmo::qt {

// Shows the box over `owner` until a button answers it: IDOK for an "OK" box; IDYES or IDNO
// for a Yes/No question, which has no other way out (Esc and the close request leave it
// open). IDNO when the game quit meanwhile.
int RunMessageBox(QWidget& owner, ModalLoop& loop, std::string_view text, std::string_view caption,
                  std::uint32_t style);

}  // namespace krelmo::qt
