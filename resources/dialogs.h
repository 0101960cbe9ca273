// The game's dialog templates: caption, place, size and controls in dialog units, the font
// they were designed for and the run-time name box of the high-score dialog. Every front end
// lays its dialogs out from these.
#pragma once

#include <span>

#include "platform/dialogs.h"

namespace krelmo::resources {

// Left, top, width and height: in dialog units in a template, in pixels once converted.
struct DialogRect {
  int left, top, width, height;
};

// Every template is set in "MS Sans Serif" at 8 points, whose dialog base units are 6 pixels
// across and 13 down: a dialog unit is a quarter of the one across and an eighth of the other
// (1.5 and 1.625 pixels), rounded to the nearest pixel, halves up.
constexpr const char* kDialogFontFace = "MS Sans Serif";
constexpr int kDialogFontPoints = 8;
constexpr int kDialogBaseUnitsAcross = 6;
constexpr int kDialogBaseUnitsDown = 13;

constexpr int DialogUnitsToPixelsAcross(int units) {
  return (units * kDialogBaseUnitsAcross + 2) / 4;
}
constexpr int DialogUnitsToPixelsDown(int units) {
  return (units * kDialogBaseUnitsDown + 4) / 8;
}
constexpr DialogRect DialogUnitsToPixels(const DialogRect& units) {
  return {DialogUnitsToPixelsAcross(units.left), DialogUnitsToPixelsDown(units.top),
          DialogUnitsToPixelsAcross(units.width), DialogUnitsToPixelsDown(units.height)};
}

enum class ControlKind {
  kDefaultButton,  // a push button that Enter presses
  kText,           // a static text, left-aligned; '\n' breaks its lines
  kRightText,      // a static text, right-aligned
  kGroupBox,       // a frame with its title, behind the controls inside it
};

// The id of a control the dialog never addresses.
constexpr int kNoControlId = -1;

struct DialogControl {
  ControlKind kind;
  int id;
  const char* text;  // in the game's code page; blank for what the dialog fills in
  DialogRect rect;
  bool tabStop;
};

// A modal frame with its caption and neither a system menu nor a close box: OK is the only
// way out. Its place is counted from the origin of the owner's client area.
struct DialogTemplate {
  int id;
  const char* caption;
  DialogRect frame;
  std::span<const DialogControl> controls;
};

// The About dialog.
constexpr int IDD_ABOUT = 108;
inline constexpr DialogControl kAboutControls[] = {
    {ControlKind::kDefaultButton, platform::IDOK, "OK", {62, 120, 49, 14}, true},
    {ControlKind::kText, kNoControlId, "Krelmo '99", {67, 16, 38, 8}, false},
    {ControlKind::kText, kNoControlId, "Game design and code by Tenvarre", {25, 35, 123, 8}, false},
    {ControlKind::kText, kNoControlId, "Version 1.0", {51, 46, 70, 8}, false},
    {ControlKind::kGroupBox, kNoControlId, "Important", {19, 66, 136, 50}, false},
    {ControlKind::kText, kNoControlId, "Use at your own risk.", {52, 80, 68, 9}, false},
    {ControlKind::kText,
     kNoControlId,
     "The author claims no responsibility for \n the use or inability to use this software.",
     {26, 91, 124, 18},
     false},
};
inline constexpr DialogTemplate kAboutDialog{
    IDD_ABOUT, "About Krelmo", {120, 60, 173, 141}, kAboutControls};

// The high-score dialog: the table with the new entry in place, a row a rank, and the name
// box over the new entry's name. Its OK is no tab stop: the name box takes the keyboard.
constexpr int IDD_HIGH_SCORE = 138;
constexpr int IDC_HIGH_SCORE_NAME1 = 1002;   // to 1006, rank 1 first
constexpr int IDC_HIGH_SCORE_SCORE1 = 1007;  // to 1011
constexpr int IDC_HIGH_SCORE_NAME_BOX = 5091;
inline constexpr DialogControl kHighScoreControls[] = {
    {ControlKind::kDefaultButton, platform::IDOK, "OK", {35, 117, 50, 14}, false},
    {ControlKind::kText, kNoControlId, "You got a High Score!", {26, 7, 72, 10}, false},
    {ControlKind::kText, IDC_HIGH_SCORE_NAME1, "", {10, 30, 53, 8}, false},
    {ControlKind::kText, IDC_HIGH_SCORE_NAME1 + 1, "", {10, 47, 53, 8}, false},
    {ControlKind::kText, IDC_HIGH_SCORE_NAME1 + 2, "", {10, 64, 55, 8}, false},
    {ControlKind::kText, IDC_HIGH_SCORE_NAME1 + 3, "", {10, 81, 49, 8}, false},
    {ControlKind::kText, IDC_HIGH_SCORE_NAME1 + 4, "", {10, 98, 55, 8}, false},
    {ControlKind::kRightText, IDC_HIGH_SCORE_SCORE1, "", {76, 30, 35, 8}, false},
    {ControlKind::kRightText, IDC_HIGH_SCORE_SCORE1 + 1, "", {76, 47, 35, 8}, false},
    {ControlKind::kRightText, IDC_HIGH_SCORE_SCORE1 + 2, "", {76, 64, 35, 8}, false},
    {ControlKind::kRightText, IDC_HIGH_SCORE_SCORE1 + 3, "", {76, 81, 35, 8}, false},
    {ControlKind::kRightText, IDC_HIGH_SCORE_SCORE1 + 4, "", {72, 98, 39, 8}, false},
    {ControlKind::kGroupBox, kNoControlId, "", {21, 0, 80, 19}, false},
};
inline constexpr DialogTemplate kHighScoreDialog{
    IDD_HIGH_SCORE, "Congrats!", {150, 80, 121, 138}, kHighScoreControls};

// The name box is made at run time over the new entry's name cell, in pixels of the dialog's
// client area, not in dialog units: row 0 to 4 is the new entry's rank less one. It has no
// horizontal scrolling, so it takes no more than it shows, and at most kMaxNameLength.
constexpr DialogRect NameBoxPixels(int row) {
  return {13, 46 + 27 * row, 75, 20};
}

}  // namespace krelmo::resources
