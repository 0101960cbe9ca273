// Virtual keys to the scan codes of a US PC keyboard.
#include "platform/scan_codes.h"

#include <array>

namespace krelmo::platform {

namespace {

// Set-1 make codes of the letters A to Z on a US keyboard.
constexpr std::array<std::uint8_t, 26> kLetterScanCodes{
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct VkScan {
  WPARAM vk;
  ScanCode scan;
};
constexpr std::array<VkScan, 19> kNamedScanCodes{{
    {VK_ESCAPE, {0x01, false}}, {VK_BACK, {0x0E, false}},  {VK_TAB, {0x0F, false}},
    {VK_RETURN, {0x1C, false}}, {VK_SHIFT, {0x2A, false}}, {VK_CONTROL, {0x1D, false}},
    {VK_MENU, {0x38, false}},   {VK_PAUSE, {0x45, false}}, {VK_SPACE, {0x39, false}},
    {VK_PRIOR, {0x49, true}},   {VK_NEXT, {0x51, true}},   {VK_END, {0x4F, true}},
    {VK_HOME, {0x47, true}},    {VK_LEFT, {0x4B, true}},   {VK_UP, {0x48, true}},
    {VK_RIGHT, {0x4D, true}},   {VK_DOWN, {0x50, true}},   {VK_INSERT, {0x52, true}},
    {VK_DELETE, {0x53, true}},
}};

}  // namespace

ScanCode ScanCodeForVirtualKey(WPARAM vk) {
  if (vk >= 'A' && vk <= 'Z') return {kLetterScanCodes[vk - 'A'], false};
  if (vk >= '1' && vk <= '9') return {static_cast<std::uint32_t>(0x02 + (vk - '1')), false};
  if (vk == '0') return {0x0B, false};
  if (vk >= VK_F1 && vk < VK_F1 + 10)
    return {static_cast<std::uint32_t>(0x3B + (vk - VK_F1)), false};
  if (vk == VK_F1 + 10) return {0x57, false};
  if (vk == VK_F1 + 11) return {0x58, false};
  for (const auto& entry : kNamedScanCodes) {
    if (entry.vk == vk) return entry.scan;
  }
  return {};
}

}  // namespace krelmo::platform
