// The help window: loading the pages into the rich edit control, placing the window, its keys
// and its links.
#include "frontend/win32/help_window.h"

#include <algorithm>

#include "frontend/win32/game_text.h"

namespace krelmo::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KrMoHelp";
constexpr UINT_PTR kViewerSubclass = 1;
// The pages, built into the program's resources.
constexpr int kHelpResource = 201;

std::string HelpResource(HINSTANCE instance) {
  const HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(kHelpResource),
                                      MAKEINTRESOURCEW(10));  // RT_RCDATA
  const HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  return bytes ? std::string(static_cast<const char*>(bytes), ::SizeofResource(instance, found))
               : std::string();
}

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* rest = reinterpret_cast<std::string_view*>(cookie);
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(wanted), rest->size());
  std::copy_n(rest->data(), count, buffer);
  rest->remove_prefix(count);
  *given = static_cast<LONG>(count);
  return 0;
}

}  // namespace

HelpWindow::HelpWindow(GameWindow& game) : game_(game) {}

HelpWindow::~HelpWindow() {
  if (window_) ::DestroyWindow(window_);
  if (richEdit_) ::FreeLibrary(richEdit_);
}

bool HelpWindow::Create() {
  richEdit_ = ::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!richEdit_) return false;
  const std::string html = HelpResource(game_.Instance());
  if (html.empty()) return false;
  const HelpText help = HelpFromHtml(html);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &HelpWindow::WindowProc;
  windowClass.hInstance = game_.Instance();
  windowClass.hIcon =
      static_cast<HICON>(::LoadImageW(game_.Instance(), MAKEINTRESOURCEW(kLargeIconId), IMAGE_ICON,
                                      0, 0, LR_DEFAULTSIZE | LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExW(&windowClass);
  // The game keeps itself topmost: the help must be topmost too to be seen above it.
  window_ = ::CreateWindowExW(WS_EX_TOPMOST, kClassName, FromGameText(help.title).c_str(),
                              WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWantedSize.cx,
                              kWantedSize.cy, nullptr, nullptr, game_.Instance(), this);
  if (!window_) return false;
  viewer_ = ::CreateWindowExW(
      0, MSFTEDIT_CLASS, L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0,
      window_, nullptr, game_.Instance(), nullptr);
  if (!viewer_) return false;
  ::SetWindowSubclass(viewer_, &HelpWindow::ViewerProc, kViewerSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
  Load(help);
  return true;
}

void HelpWindow::Load(const HelpText& help) {
  ::SendMessageW(viewer_, EM_SETBKGNDCOLOR, 0, ::GetSysColor(COLOR_WINDOW));
  std::string_view rest = help.rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rest), 0, &ReadRtf};
  ::SendMessageW(viewer_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  // Each link is the next place its words stand, after the one before it; the heading it
  // leads to, the next place the heading's words stand after the last link.
  const auto find = [this](const std::wstring& words, LONG from) {
    FINDTEXTEXW search{};
    search.chrg = {from, -1};
    search.lpstrText = words.c_str();
    ::SendMessageW(viewer_, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE,
                   reinterpret_cast<LPARAM>(&search));
    return search.chrgText;
  };
  LONG after = 0;
  for (const HelpText::Link& link : help.links) {
    const CHARRANGE found = find(link.text, after);
    if (found.cpMin < 0) continue;
    links_.push_back({found, -1});
    after = found.cpMax;
    ::SendMessageW(viewer_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_LINK;
    format.dwEffects = CFE_LINK;
    ::SendMessageW(viewer_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  }
  std::size_t placed = 0;
  for (const HelpText::Link& link : help.links) {
    if (placed < links_.size()) links_[placed++].target = find(link.target, after).cpMin;
  }
  const CHARRANGE start{0, 0};
  ::SendMessageW(viewer_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  ::SendMessageW(viewer_, EM_SETEVENTMASK, 0, ENM_LINK);
}

bool HelpWindow::ShowContents() {
  if (!window_ && !Create()) return false;
  ScrollTo(0);
  Place();
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetFocus(viewer_);
  return true;
}

void HelpWindow::Place() {
  // The pages at their wanted size in the window's frame, centred on the work area of the
  // game's screen, but with the top no higher than the bottom of the game's menu bar (while it
  // is on the screen), and shrunk to what fits.
  const HMONITOR monitor = ::MonitorFromWindow(game_.Handle(), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(monitor, &info);
  const RECT screen = info.rcWork;
  const int scale = game_.Scale();
  RECT frame{0, 0, kWantedSize.cx * scale, kWantedSize.cy * scale};
  ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_TOPMOST);
  const int width = std::min<int>(frame.right - frame.left, screen.right - screen.left);
  int height = std::min<int>(frame.bottom - frame.top, screen.bottom - screen.top);
  const int left = screen.left + (screen.right - screen.left - width) / 2;
  int top = screen.top + (screen.bottom - screen.top - height) / 2;
  if (!::IsIconic(game_.Handle())) {
    POINT client{0, 0};
    ::ClientToScreen(game_.Handle(), &client);
    top = std::max<int>(top, client.y);
  }
  height = std::min<int>(height, screen.bottom - top);
  ::SetWindowPos(window_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
}

void HelpWindow::ScrollTo(LONG position) {
  const CHARRANGE at{position, position};
  ::SendMessageW(viewer_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
  const LRESULT line = ::SendMessageW(viewer_, EM_EXLINEFROMCHAR, 0, position);
  const LRESULT first = ::SendMessageW(viewer_, EM_GETFIRSTVISIBLELINE, 0, 0);
  ::SendMessageW(viewer_, EM_LINESCROLL, 0, line - first);
}

void HelpWindow::FollowLink(const CHARRANGE& clicked) {
  for (const LinkPlace& link : links_) {
    if (clicked.cpMin < link.link.cpMax && clicked.cpMax > link.link.cpMin && link.target >= 0) {
      ScrollTo(link.target);
      return;
    }
  }
}

LRESULT CALLBACK HelpWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HelpWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  if (!self->window_) self->window_ = window;
  return self->Handle(message, wParam, lParam);
}

LRESULT HelpWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (viewer_) ::MoveWindow(viewer_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_ACTIVATE:
      // The help stands for another program: the game is not active while it is.
      game_.OtherProgramActivated(LOWORD(wParam) != WA_INACTIVE);
      if (LOWORD(wParam) != WA_INACTIVE && viewer_) ::SetFocus(viewer_);
      return 0;
    case WM_CLOSE:
      ::ShowWindow(window_, SW_HIDE);
      return 0;
    case WM_NOTIFY: {
      const auto* link = reinterpret_cast<const ENLINK*>(lParam);
      if (link->nmhdr.hwndFrom == viewer_ && link->nmhdr.code == EN_LINK &&
          link->msg == WM_LBUTTONUP) {
        FollowLink(link->chrg);
        return 1;
      }
      break;
    }
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK HelpWindow::ViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
  // Esc and Ctrl+W close the help, as the close box does.
  if (message == WM_KEYDOWN &&
      (wParam == VK_ESCAPE || (wParam == 'W' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0))) {
    ::PostMessageW(reinterpret_cast<HelpWindow*>(self)->window_, WM_CLOSE, 0, 0);
    return 0;
  }
  return ::DefSubclassProc(viewer, message, wParam, lParam);
}

}  // namespace krelmo::win32
