// The game's dialog templates (resources/dialogs.h) as the system's own: a dialog template in
// memory, in dialog units and the template's font, that the system lays out and runs.
#pragma once

#include <vector>

#include "frontend/win32/win32.h"
#include "resources/dialogs.h"

namespace krelmo::win32 {

// A modal frame with its caption and no close box, placed by the owner's client area, its
// controls with their ids and texts; group boxes lie behind the controls inside them. DWORD
// aligned, for DialogBoxIndirectParam.
std::vector<WORD> DialogTemplateInMemory(const resources::DialogTemplate& dialog);

// A rectangle given in pixels of a dialog laid out for the template's font (the high-score
// dialog's name box) in pixels of the dialog as the system laid it out, whose font and screen
// may be larger.
RECT TemplatePixelsToDialog(HWND dialog, const resources::DialogRect& pixels);

}  // namespace krelmo::win32
