// Modal message boxes, dialogs and the help viewer. While one is open the front end keeps
// dispatching the game's queued messages to the window procedure, as a nested loop would.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace krelmo::platform {

// A message box's style: its buttons in the low four bits, its icon in the next four.
constexpr std::uint32_t MB_TYPEMASK = 0x0F;
constexpr std::uint32_t MB_OK = 0x00;
constexpr std::uint32_t MB_YESNO = 0x04;
constexpr std::uint32_t MB_ICONMASK = 0xF0;
constexpr std::uint32_t MB_ICONHAND = 0x10;
constexpr std::uint32_t MB_ICONQUESTION = 0x20;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr std::uint32_t MB_ICONASTERISK = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The high-score entry dialog (template 138) as its dialog procedure fills it in: the table
// with the new entry in place, and the name edit box over the new entry's name.
struct HighScoreDialogContent {
  std::array<std::string, 5> names;   // statics 1002 to 1006, rank 1 first
  std::array<std::string, 5> scores;  // statics 1007 to 1011
  int editRow = 0;                    // 0 to 4: the row the edit box lies over
  std::string editText;               // the name offered
};
constexpr int kMaxNameLength = 11;

// Called on the UI thread; each call returns when the box or dialog has closed. As it closes
// the main window gets the keyboard back, and every front end tells the game so alike: a
// WM_SETFOCUS posted to the game's queue, taken after the call has returned.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) = 0;
  // Shows the About dialog; returns when "OK" closed it.
  virtual void ShowAbout() = 0;
  // Opens the game's help at its contents; false when it could not be shown.
  virtual bool ShowHelp() = 0;
  // Shows the high-score dialog until "OK" and returns the edit box's text then: at most
  // kMaxNameLength single-byte characters. It also returns when the game is asked to quit
  // meanwhile, with the text as it stands, so that the score is kept all the same.
  virtual std::string ShowHighScoreDialog(const HighScoreDialogContent& content) = 0;
};

}  // namespace krelmo::platform
