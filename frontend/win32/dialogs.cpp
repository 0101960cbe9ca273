// The dialogs: message boxes, the two template dialogs with their procedures, the help, and
// the nested dispatch that runs while one is open.
#include "frontend/win32/dialogs.h"

#include <algorithm>
#include <string>

#include "frontend/win32/game_text.h"
#include "frontend/win32/template_dialog.h"
#include "platform/cp1252.h"
#include "resources/dialogs.h"

namespace krelmo::win32 {

namespace {

constexpr UINT_PTR kDispatchTimer = 4;
constexpr UINT_PTR kNameBoxSubclass = 1;

// Closes every dialog of ours that is open (a box opened over a dialog included): the game
// quit while they were.
BOOL CALLBACK CloseDialog(HWND window, LPARAM owner) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (std::wstring_view(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
  for (HWND up = ::GetWindow(window, GW_OWNER); up; up = ::GetWindow(up, GW_OWNER)) {
    if (up == reinterpret_cast<HWND>(owner)) {
      ::EndDialog(window, platform::IDNO);
      break;
    }
  }
  return TRUE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == platform::IDOK) {
    ::EndDialog(dialog, 0);
    return TRUE;
  }
  // Esc (IDCANCEL) does nothing: only "OK" closes the dialog.
  return message == WM_COMMAND && LOWORD(wParam) == IDCANCEL;
}

struct HighScoreState {
  const platform::HighScoreDialogContent* content;
  std::wstring name;  // the name box's text, as it last stood
};

// Takes only what the game can store: a character of its code page (control characters are
// the box's editing keys).
LRESULT CALLBACK NameBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
  if (message == WM_CHAR && wParam >= 0x20 &&
      !platform::UnicodeToCp1252(static_cast<char32_t>(wParam))) {
    ::MessageBeep(platform::MB_OK);
    return 0;
  }
  return ::DefSubclassProc(box, message, wParam, lParam);
}

INT_PTR CALLBACK HighScoreProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<HighScoreState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<HighScoreState*>(lParam);
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto& content = *state->content;
      for (std::size_t row = 0; row < content.names.size(); ++row) {
        const int offset = static_cast<int>(row);
        ::SetDlgItemTextW(dialog, resources::IDC_HIGH_SCORE_NAME1 + offset,
                          FromGameText(content.names[row]).c_str());
        ::SetDlgItemTextW(dialog, resources::IDC_HIGH_SCORE_SCORE1 + offset,
                          FromGameText(content.scores[row]).c_str());
      }
      // Over the new entry's name: it takes no more than it shows (no scrolling) and at most
      // the longest name the game keeps.
      const int row = std::clamp(content.editRow, 0, static_cast<int>(content.names.size()) - 1);
      const RECT box = TemplatePixelsToDialog(dialog, resources::NameBoxPixels(row));
      const HWND edit = ::CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", FromGameText(content.editText).c_str(),
          WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT, box.left, box.top, box.right - box.left,
          box.bottom - box.top, dialog,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(resources::IDC_HIGH_SCORE_NAME_BOX)),
          nullptr, nullptr);
      ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
      ::SendMessageW(edit, EM_LIMITTEXT, platform::kMaxNameLength, 0);
      ::SetWindowSubclass(edit, &NameBoxProc, kNameBoxSubclass, 0);
      // Above the name static it covers.
      ::SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      state->name = FromGameText(content.editText);
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      ::SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == resources::IDC_HIGH_SCORE_NAME_BOX && HIWORD(wParam) == EN_CHANGE) {
        const HWND edit = reinterpret_cast<HWND>(lParam);
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            ::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        state->name = text;
        return TRUE;
      }
      if (LOWORD(wParam) == platform::IDOK) {
        ::EndDialog(dialog, platform::IDOK);
        return TRUE;
      }
      return LOWORD(wParam) == IDCANCEL;  // Esc does nothing
    default:
      return FALSE;
  }
}

}  // namespace

Dialogs::Dialogs(GameWindow& owner, platform::MessageQueue& queue, const FrameHost& frameHost)
    : owner_(owner), queue_(queue), frameHost_(frameHost) {}

Dialogs::~Dialogs() = default;

bool Dialogs::RunModal(const std::function<void()>& show) {
  if (depth_++ == 0) {
    quit_ = false;
    owner_.StartTimer(kDispatchTimer, kDispatchIntervalMs, [this] { DispatchTick(); });
  }
  // A dialog opened from a dispatch of the one below it dispatches in its turn.
  const bool outerDispatching = dispatching_;
  dispatching_ = false;
  show();
  dispatching_ = outerDispatching;
  const bool alive = !quit_;
  if (--depth_ == 0) {
    owner_.StopTimer(kDispatchTimer);
    // The quit message belongs to the outer loop.
    if (quit_) queue_.PostQuitMessage(0);
    quit_ = false;
  }
  return alive;
}

void Dialogs::DispatchTick() {
  // Never inside a step's wait: a system loop running there (a menu, a move) is no place for
  // the game's messages.
  if (!dispatch_ || dispatching_ || quit_ || frameHost_.InWait()) return;
  dispatching_ = true;
  const bool alive = dispatch_();
  dispatching_ = false;
  if (!alive) {
    quit_ = true;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseDialog,
                        reinterpret_cast<LPARAM>(owner_.Handle()));
  }
}

int Dialogs::MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) {
  const bool yesNo = (style & platform::MB_TYPEMASK) == platform::MB_YESNO;
  int answer = platform::IDNO;
  const bool alive = RunModal([&] {
    answer =
        ::MessageBoxW(owner_.Handle(), FromGameText(text).c_str(), FromGameText(caption).c_str(),
                      style & (platform::MB_TYPEMASK | platform::MB_ICONMASK));
  });
  if (!yesNo) return platform::IDOK;
  return alive && answer == platform::IDYES ? platform::IDYES : platform::IDNO;
}

void Dialogs::ShowAbout() {
  const std::vector<WORD> dialog = DialogTemplateInMemory(resources::kAboutDialog);
  RunModal([&] {
    ::DialogBoxIndirectParamW(owner_.Instance(),
                              reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner_.Handle(),
                              &AboutProc, 0);
  });
}

std::string Dialogs::ShowHighScoreDialog(const platform::HighScoreDialogContent& content) {
  const std::vector<WORD> dialog = DialogTemplateInMemory(resources::kHighScoreDialog);
  HighScoreState state{&content, FromGameText(content.editText)};
  RunModal([&] {
    ::DialogBoxIndirectParamW(owner_.Instance(),
                              reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner_.Handle(),
                              &HighScoreProc, reinterpret_cast<LPARAM>(&state));
  });
  return ToGameText(state.name).substr(0, platform::kMaxNameLength);
}

bool Dialogs::ShowHelp() {
  if (!help_) help_ = std::make_unique<HelpWindow>(owner_);
  return help_->ShowContents();
}

}  // namespace krelmo::win32
