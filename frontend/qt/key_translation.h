// Turning the toolkit's key events into the game's virtual-key codes and the scan-code part
// of a key message's lParam, as a PC keyboard would report them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/messages.h"
#include "platform/scan_codes.h"

namespace krelmo::qt {

// The virtual-key code for a Qt::Key value; none for keys the game has no code for.
std::optional<WPARAM> VirtualKeyFor(int qtKey);

using platform::ScanCode;

// The scan code of a key press. `nativeScanCode` is what the windowing system reported;
// `evdevCodes` tells that it is a Linux input code offset by 8 (X11 and Wayland). Without
// a usable native code the scan code of a US keyboard is taken from the virtual key.
ScanCode ScanCodeFor(std::uint32_t nativeScanCode, bool evdevCodes, WPARAM virtualKey);

}  // namespace krelmo::qt
