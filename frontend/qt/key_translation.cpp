// Key codes: Qt keys to virtual keys, and Linux input codes or virtual keys to the scan codes
// of a PC keyboard.
#include "frontend/qt/key_translation.h"

#include <Qt>
#include <array>
#include <utility>

namespace krelmo::qt {

namespace {

constexpr WPARAM kVkBack = 8, kVkTab = 9, kVkReturn = 13, kVkShift = 16, kVkControl = 17,
                 kVkMenu = 18, kVkPause = 19, kVkSpace = 32, kVkPrior = 33, kVkNext = 34,
                 kVkEnd = 35, kVkHome = 36, kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40,
                 kVkInsert = 45, kVkDelete = 46, kVkF1 = 112;

// Set-1 make codes of the letters A to Z on a US keyboard.
constexpr std::array<std::uint8_t, 26> kLetterScanCodes{
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct VkScan {
  WPARAM vk;
  ScanCode scan;
};
constexpr std::array<VkScan, 20> kNamedScanCodes{{
    {VK_ESCAPE, {0x01, false}}, {kVkBack, {0x0E, false}},  {kVkTab, {0x0F, false}},
    {kVkReturn, {0x1C, false}}, {kVkShift, {0x2A, false}}, {kVkControl, {0x1D, false}},
    {kVkMenu, {0x38, false}},   {kVkPause, {0x45, false}}, {kVkSpace, {0x39, false}},
    {kVkPrior, {0x49, true}},   {kVkNext, {0x51, true}},   {kVkEnd, {0x4F, true}},
    {kVkHome, {0x47, true}},    {kVkLeft, {0x4B, true}},   {kVkUp, {0x48, true}},
    {kVkRight, {0x4D, true}},   {kVkDown, {0x50, true}},   {kVkInsert, {0x52, true}},
    {kVkDelete, {0x53, true}},  {0, {0, false}},
}};

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

ScanCode ScanCodeForVirtualKey(WPARAM vk) {
  if (vk >= 'A' && vk <= 'Z') return {kLetterScanCodes[vk - 'A'], false};
  if (vk >= '1' && vk <= '9') return {static_cast<std::uint32_t>(0x02 + (vk - '1')), false};
  if (vk == '0') return {0x0B, false};
  if (vk >= kVkF1 && vk < kVkF1 + 10)
    return {static_cast<std::uint32_t>(0x3B + (vk - kVkF1)), false};
  if (vk == kVkF1 + 10) return {0x57, false};
  if (vk == kVkF1 + 11) return {0x58, false};
  for (const auto& entry : kNamedScanCodes) {
    if (entry.vk == vk && vk != 0) return entry.scan;
  }
  return {};
}

}  // namespace

std::optional<WPARAM> VirtualKeyFor(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return WPARAM('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return WPARAM('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return WPARAM(kVkF1 + (qtKey - Qt::Key_F1));
  switch (qtKey) {
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkReturn;
    case Qt::Key_Shift:
      return kVkShift;
    case Qt::Key_Control:
      return kVkControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return kVkMenu;
    case Qt::Key_Pause:
      return kVkPause;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_PageUp:
      return kVkPrior;
    case Qt::Key_PageDown:
      return kVkNext;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Delete:
      return kVkDelete;
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
  return ScanCodeForVirtualKey(virtualKey);
}

}  // namespace krelmo::qt
