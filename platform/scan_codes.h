// The scan codes of a PC keyboard (set 1), which travel in a key message's lParam, and the
// virtual keys the front ends turn their toolkits' keys into.
#pragma once

#include <cstdint>

#include "platform/messages.h"

namespace krelmo::platform {

// Virtual keys beside those the window procedure reads (messages.h); letters and digits are
// their upper-case characters, F1 to F24 run on from VK_F1.
constexpr WPARAM VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
                 VK_MENU = 18, VK_PAUSE = 19, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34,
                 VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
                 VK_INSERT = 45, VK_DELETE = 46, VK_F1 = 112;

struct ScanCode {
  std::uint32_t code = 0;  // set-1 make code, 0 when unknown
  bool extended = false;   // an E0-prefixed key: arrows, the editing block, right Ctrl/Alt...
};

// The scan code a US keyboard sends for a virtual key; 0 for a key it has no code for.
ScanCode ScanCodeForVirtualKey(WPARAM virtualKey);

}  // namespace krelmo::platform
