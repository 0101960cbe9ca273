// Modal message boxes, dialogs and the help viewer. While one is open the front end keeps
// dispatching the game's queued messages to the window procedure, as a nested loop would.
#pragma once

#include <cstdint>
#include <string_view>

namespace krelmo::platform {

constexpr std::uint32_t MB_YESNO = 0x04;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Called on the UI thread; each call returns when the box or dialog has closed.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) = 0;
  // Shows the About dialog; returns when "OK" closed it.
  virtual void ShowAbout() = 0;
  // Opens the game's help at its contents; false when it could not be shown.
  virtual bool ShowHelp() = 0;
};

}  // namespace krelmo::platform
