// Window messages, virtual keys and the values that travel with them, numbered as the
// game's window procedure expects them.
#pragma once

#include <cstdint>

namespace krelmo {

using MessageId = std::uint32_t;
using WPARAM = std::uint64_t;
using LPARAM = std::int64_t;
using LRESULT = std::int64_t;

constexpr MessageId WM_MOVE = 0x0003;
constexpr MessageId WM_SETFOCUS = 0x0007;
constexpr MessageId WM_PAINT = 0x000F;
constexpr MessageId WM_CLOSE = 0x0010;
constexpr MessageId WM_QUIT = 0x0012;
constexpr MessageId WM_ACTIVATEAPP = 0x001C;
constexpr MessageId WM_KEYDOWN = 0x0100;
constexpr MessageId WM_INITDIALOG = 0x0110;
constexpr MessageId WM_COMMAND = 0x0111;
constexpr MessageId WM_TIMER = 0x0113;
constexpr MessageId WM_MOUSEMOVE = 0x0200;
constexpr MessageId WM_LBUTTONDOWN = 0x0201;
constexpr MessageId WM_RBUTTONDOWN = 0x0204;
constexpr MessageId WM_EXITSIZEMOVE = 0x0232;
// Registered messages take ids from this range, as on Windows.
constexpr MessageId kFirstRegisteredMessage = 0xC000;

constexpr WPARAM VK_ESCAPE = 27;
constexpr WPARAM VK_F2 = 113;
constexpr WPARAM VK_F3 = 114;

// Key message lParam bits: repeat count in 0-15, scan code in 16-23, extended key in 24,
// Alt held in 29, key already down (auto-repeat) in 30.
constexpr LPARAM kKeyExtendedBit = LPARAM{1} << 24;
constexpr LPARAM kKeyAltBit = LPARAM{1} << 29;
constexpr LPARAM kKeyRepeatBit = LPARAM{1} << 30;

constexpr LPARAM MakeKeyLParam(std::uint32_t scanCode, bool extended, bool alt, bool repeat) {
  return LPARAM{1} | (LPARAM{scanCode & 0xFF} << 16) | (extended ? kKeyExtendedBit : 0) |
         (alt ? kKeyAltBit : 0) | (repeat ? kKeyRepeatBit : 0);
}

// Mouse messages carry client x in the low 16 bits and y in the next 16.
constexpr LPARAM MakePointLParam(int x, int y) {
  return LPARAM{static_cast<std::uint16_t>(x)} | (LPARAM{static_cast<std::uint16_t>(y)} << 16);
}

struct Message {
  MessageId message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

}  // namespace krelmo
