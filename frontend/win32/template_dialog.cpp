// Writing the system's dialog template: a header, then each control, every one on a DWORD.
#include "frontend/win32/template_dialog.h"

#include <algorithm>
#include <string>

#include "frontend/win32/game_text.h"

namespace krelmo::win32 {

namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;

class TemplateWriter {
 public:
  void Word(WORD word) { words_.push_back(word); }
  void Dword(DWORD dword) {
    Word(LOWORD(dword));
    Word(HIWORD(dword));
  }
  void Text(const std::wstring& text) {
    for (const wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Rect(const resources::DialogRect& rect) {
    for (const int value : {rect.left, rect.top, rect.width, rect.height}) {
      Word(static_cast<WORD>(static_cast<short>(value)));
    }
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<WORD> Take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

struct ControlLook {
  DWORD style;
  WORD windowClass;
};

ControlLook LookOf(const resources::DialogControl& control) {
  using resources::ControlKind;
  switch (control.kind) {
    case ControlKind::kDefaultButton:
      return {static_cast<DWORD>(BS_DEFPUSHBUTTON) | (control.tabStop ? WS_TABSTOP : 0u),
              kButtonClass};
    case ControlKind::kText:
      return {SS_LEFT | SS_NOPREFIX, kStaticClass};
    case ControlKind::kRightText:
      return {SS_RIGHT | SS_NOPREFIX, kStaticClass};
    case ControlKind::kGroupBox:
      return {BS_GROUPBOX, kButtonClass};
  }
  return {SS_LEFT, kStaticClass};
}

// The template's line breaks as a static control breaks lines.
std::wstring ControlText(const char* text) {
  std::wstring out;
  for (const wchar_t c : FromGameText(text)) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

}  // namespace

std::vector<WORD> DialogTemplateInMemory(const resources::DialogTemplate& dialog) {
  TemplateWriter out;
  out.Dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT);
  out.Dword(0);
  out.Word(static_cast<WORD>(dialog.controls.size()));
  out.Rect(dialog.frame);
  out.Word(0);  // no menu
  out.Word(0);  // the system's dialog class
  out.Text(FromGameText(dialog.caption));
  out.Word(resources::kDialogFontPoints);
  out.Text(FromGameText(resources::kDialogFontFace));
  // A control made earlier lies above one made later: group boxes last.
  std::vector<resources::DialogControl> controls(dialog.controls.begin(), dialog.controls.end());
  std::stable_partition(controls.begin(), controls.end(), [](const auto& control) {
    return control.kind != resources::ControlKind::kGroupBox;
  });
  for (const resources::DialogControl& control : controls) {
    out.AlignToDword();
    const ControlLook look = LookOf(control);
    out.Dword(WS_CHILD | WS_VISIBLE | look.style);
    out.Dword(0);
    out.Rect(control.rect);
    out.Word(static_cast<WORD>(control.id));  // kNoControlId is the system's IDC_STATIC
    out.Word(0xFFFF);
    out.Word(look.windowClass);
    out.Text(ControlText(control.text));
    out.Word(0);  // no creation data
  }
  return out.Take();
}

RECT TemplatePixelsToDialog(HWND dialog, const resources::DialogRect& pixels) {
  // The dialog's base units as laid out: 4 units across and 8 down are one base unit each.
  RECT base{0, 0, 4, 8};
  ::MapDialogRect(dialog, &base);
  const auto across = [&base](int value) {
    return ::MulDiv(value, base.right, resources::kDialogBaseUnitsAcross);
  };
  const auto down = [&base](int value) {
    return ::MulDiv(value, base.bottom, resources::kDialogBaseUnitsDown);
  };
  return {across(pixels.left), down(pixels.top), across(pixels.left + pixels.width),
          down(pixels.top + pixels.height)};
}

}  // namespace krelmo::win32
