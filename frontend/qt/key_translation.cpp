// Key codes: Qt keys to virtual keys, and Linux input codes (or, failing those, virtual keys)
// to the scan codes of a PC keyboard.
#include "frontend/qt/key_translation.h"

#include <Qt>
#include <array>
#include <utility>

namespace krelmo::qt {

namespace {

using namespace platform;

// Linux input codes of the keys a PC keyboard sends with the E0 prefix, and their make codes.
constexpr std::array<std::pair<std::uint32_t, std::uint8_t>, 14> kLinuxExtendedKeys{{
    {96, 0x1C},   // keypad Enter
    {97, 0x1D},   // right Ctrl
    {98, 0x35},   // keypad divide
    {100, 0x38},  // right Alt
    {102, 0x47},  // Home
    {103, 0x48},  // Up
    {104, 0x49},  // Page Up
    {105, 0x4B},  // Left
    {106, 0x4D},  // Right
    {107, 0x4F},  // End
    {108, 0x50},  // Down
    {109, 0x51},  // Page Down
    {110, 0x52},  // Insert
    {111, 0x53},  // Delete
}};

// Below this Linux input code the codes are the set-1 make codes themselves.
constexpr std::uint32_t kFirstLinuxCodeOffTheTable = 89;

}  // namespace

std::optional<WPARAM> VirtualKeyFor(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return WPARAM('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return WPARAM('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return WPARAM(VK_F1 + (qtKey - Qt::Key_F1));
  switch (qtKey) {
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return VK_MENU;
    case Qt::Key_Pause:
      return VK_PAUSE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      return std::nullopt;
  }
}

ScanCode ScanCodeFor(std::uint32_t nativeScanCode, bool evdevCodes, WPARAM virtualKey) {
  if (evdevCodes && nativeScanCode > 8) {
    const std::uint32_t linuxCode = nativeScanCode - 8;
    if (linuxCode < kFirstLinuxCodeOffTheTable) return {linuxCode, false};
    for (const auto& [code, make] : kLinuxExtendedKeys) {
      if (code == linuxCode) return {make, true};
    }
  } else if (!evdevCodes && nativeScanCode != 0) {
    return {nativeScanCode & 0xFF, false};
  }
  return platform::ScanCodeForVirtualKey(virtualKey);
}

}  // namespace krelmo::qt
