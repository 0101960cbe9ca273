// The dialogs of the page: their templates handed to the page, and the loop that runs while
// one is open.
#include "frontend/web/web_dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frontend/web/web_page.h"
#include "platform/cp1252.h"

namespace krelmo::web {

namespace {

// The game's single-byte text as the page takes it: one character a byte, null-terminated.
std::u32string Text(std::string_view bytes) {
  return platform::Cp1252ToUnicodeText(bytes);
}

int KindOf(resources::ControlKind kind) {
  switch (kind) {
    case resources::ControlKind::kDefaultButton:
      return 0;
    case resources::ControlKind::kText:
      return 1;
    case resources::ControlKind::kRightText:
      return 2;
    case resources::ControlKind::kGroupBox:
      return 3;
  }
  return 1;
}

}  // namespace

int WebDialogs::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  const bool yesNo = (style & platform::MB_TYPEMASK) == platform::MB_YESNO;
  const int icon = static_cast<int>((style & platform::MB_ICONMASK) >> 4);
  const int dialog =
      krelmo_message_box(Text(caption).c_str(), Text(text).c_str(), yesNo ? 1 : 0, icon);
  const bool alive = Run(dialog);
  const int answer = krelmo_dialog_answer(dialog);
  Finish(dialog);
  if (!yesNo) return platform::IDOK;
  return alive && answer == platform::IDYES ? platform::IDYES : platform::IDNO;
}

void WebDialogs::ShowAbout() {
  const int dialog = Open(resources::kAboutDialog, false, [](int) { return std::string_view(); });
  krelmo_dialog_show(dialog);
  Run(dialog);
  Finish(dialog);
}

std::string WebDialogs::ShowHighScoreDialog(const platform::HighScoreDialogContent& content) {
  const auto text = [&content](int id) -> std::string_view {
    const int rows = static_cast<int>(content.names.size());
    if (id >= resources::IDC_HIGH_SCORE_NAME1 && id < resources::IDC_HIGH_SCORE_NAME1 + rows) {
      return content.names[static_cast<std::size_t>(id - resources::IDC_HIGH_SCORE_NAME1)];
    }
    if (id >= resources::IDC_HIGH_SCORE_SCORE1 && id < resources::IDC_HIGH_SCORE_SCORE1 + rows) {
      return content.scores[static_cast<std::size_t>(id - resources::IDC_HIGH_SCORE_SCORE1)];
    }
    return {};
  };
  const int dialog = Open(resources::kHighScoreDialog, true, text);
  const resources::DialogRect box = resources::NameBoxPixels(
      std::clamp(content.editRow, 0, static_cast<int>(content.names.size()) - 1));
  krelmo_dialog_add_name_box(dialog, box.left, box.top, box.width, box.height,
                             Text(content.editText).c_str(), platform::kMaxNameLength);
  krelmo_dialog_show(dialog);
  Run(dialog);
  char* typed = krelmo_dialog_text(dialog);
  Finish(dialog);
  std::string name;
  if (typed) {
    std::u32string characters;
    platform::DecodeUtf8(typed, characters);
    name = platform::UnicodeToCp1252Text(characters);
    std::free(typed);
  }
  return name.substr(0, platform::kMaxNameLength);
}

bool WebDialogs::ShowHelp() {
  return krelmo_show_help() != 0;
}

int WebDialogs::Open(const resources::DialogTemplate& dialog, bool centred,
                     const std::function<std::string_view(int id)>& text) {
  const resources::DialogRect frame = resources::DialogUnitsToPixels(dialog.frame);
  const int id = krelmo_dialog_open(Text(dialog.caption).c_str(), frame.left, frame.top,
                                    frame.width, frame.height, centred ? 1 : 0);
  for (const resources::DialogControl& control : dialog.controls) {
    const resources::DialogRect rect = resources::DialogUnitsToPixels(control.rect);
    const std::string_view filled = control.id != resources::kNoControlId && *control.text == '\0'
                                        ? text(control.id)
                                        : std::string_view(control.text);
    krelmo_dialog_add(id, KindOf(control.kind), control.id, Text(filled).c_str(), rect.left,
                      rect.top, rect.width, rect.height);
  }
  return id;
}

bool WebDialogs::Run(int dialog) {
  bool alive = true;
  while (krelmo_dialog_answer(dialog) == 0) {
    if (dispatch_ && !dispatch_()) {
      // The quit message belongs to the outer loop: hand it back and close.
      alive = false;
      queue_.PostQuitMessage(0);
      break;
    }
    if (krelmo_dialog_answer(dialog) != 0) break;
    frameHost_.Wait();
  }
  return alive;
}

void WebDialogs::Finish(int dialog) {
  krelmo_dialog_close(dialog);
  // The canvas gets the keyboard back as the dialog goes.
  krelmo_focus_game();
  queue_.PostMessage(WM_SETFOCUS);
}

}  // namespace krelmo::web
