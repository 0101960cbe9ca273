// The main window: its class, the menu bar, presenting the surface, and the window procedure
// that turns the system's messages into the game's.
#include "frontend/win32/game_window.h"

#include <algorithm>

#include "frontend/win32/game_text.h"
#include "resources/menu.h"

namespace krelmo::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KrMo";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kUsualDpi = 96;

// The density calls of Windows 10, where the system has them; the whole system's density
// otherwise.
UINT DpiOf(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const auto forWindow = reinterpret_cast<Function>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (forWindow && window) return forWindow(window);
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kUsualDpi;
}

void AdjustForDpi(RECT& rect, UINT dpi) {
  using Function = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = reinterpret_cast<Function>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (forDpi) {
    forDpi(&rect, kStyle, TRUE, 0, dpi);
  } else {
    ::AdjustWindowRectEx(&rect, kStyle, TRUE, 0);
  }
}

int ScaleFor(UINT dpi) {
  return std::max(1, static_cast<int>(dpi / kUsualDpi));
}

}  // namespace

GameWindow::GameWindow(HINSTANCE instance, const platform::Surface& surface,
                       platform::MessageQueue& queue, platform::MenuModel& menu)
    : instance_(instance), surface_(surface), queue_(queue), menu_(menu) {}

GameWindow::~GameWindow() {
  menu_.SetListener(nullptr);
  if (window_) {
    ::ClipCursor(nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

bool GameWindow::Create(const std::wstring& title, std::string& error) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // Its own device context, kept for presenting, as the game always kept the window's.
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = &GameWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = static_cast<HICON>(::LoadImageW(
      instance_, MAKEINTRESOURCEW(kLargeIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kSmallIconId), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  // A replay's window beside the game's is a second of the same class.
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error = "the window class cannot be registered: " + std::to_string(::GetLastError());
    return false;
  }
  menuBar_ = BuildMenuBar();
  const SIZE size = OuterSize(DpiOf(nullptr));
  window_ = ::CreateWindowExW(0, kClassName, title.c_str(), kStyle, (ScreenWidth() - size.cx) / 2,
                              (ScreenHeight() - size.cy) / 2, size.cx, size.cy, nullptr, menuBar_,
                              instance_, this);
  if (!window_) {
    error = "the window cannot be made: error " + std::to_string(::GetLastError());
    return false;
  }
  Rescale(DpiOf(window_), nullptr);
  return true;
}

void GameWindow::Show() {
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
}

LRESULT CALLBACK GameWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<GameWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<GameWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam)
              : ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT GameWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (handOverMessage_ != 0 && message == handOverMessage_) {
    return onHandOver_ && onHandOver_() ? kHandOverTaken : 0;
  }
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window_, &paint);
      PresentTo(dc);
      ::EndPaint(window_, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the surface covers the whole client area

    case WM_KEYDOWN:
      // The system's key messages carry what the game reads: the virtual key, and the scan
      // code, repeat and Alt bits of the low 32 bits of lParam.
      queue_.PostMessage(WM_KEYDOWN, wParam, lParam & 0xFFFFFFFF);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      PostMouse(message, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      if (cursorHidden_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(nullptr);
        return TRUE;
      }
      break;

    case WM_COMMAND:
      if (lParam == 0) queue_.PostMessage(WM_COMMAND, LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (gameTimers_.count(wParam) != 0) {
        queue_.PostTimer(wParam);
      } else if (const auto timer = ownTimers_.find(wParam); timer != ownTimers_.end()) {
        // A copy: the call may stop its own timer.
        const std::function<void()> onTick = timer->second;
        onTick();
      }
      return 0;

    case WM_SETFOCUS:
      queue_.PostMessage(WM_SETFOCUS);
      return 0;
    case WM_ACTIVATEAPP:
      applicationActive_ = wParam != 0;
      ReportActivation();
      return 0;
    case WM_MOVE:
      queue_.PostMessage(WM_MOVE, 0, lParam & 0xFFFFFFFF);
      break;
    case WM_EXITSIZEMOVE:
      queue_.PostMessage(WM_EXITSIZEMOVE);
      break;
    case WM_CLOSE:
      // The game decides: its window procedure posts the quit message.
      queue_.PostMessage(WM_CLOSE);
      return 0;
    case WM_DPICHANGED:
      Rescale(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && onEndSession) onEndSession();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

HMENU GameWindow::BuildMenuBar() {
  const HMENU bar = ::CreateMenu();
  std::map<std::string, HMENU> menus;
  const auto popup = [&](HMENU parent, const std::string& key, const char* text) {
    HMENU& menu = menus[key];
    if (!menu) {
      menu = ::CreatePopupMenu();
      ::AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                    FromGameText(text).c_str());
    }
    return menu;
  };
  for (const auto& item : resources::kMainMenu) {
    HMENU parent = popup(bar, item.menu, item.menu);
    if (item.submenu) {
      parent = popup(parent, std::string(item.menu) + '/' + item.submenu, item.submenu);
    }
    if (!item.text) {
      ::AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    // The text after the tab shows as the item's key; the keys reach the game as key
    // messages, so the menu has no accelerators of its own.
    ::AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(item.id),
                  FromGameText(item.text).c_str());
  }
  menu_.SetListener([this](int id, std::uint32_t state) { ShowState(id, state); });
  for (const auto& [id, state] : menu_.States()) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = state;
    ::SetMenuItemInfoW(bar, static_cast<UINT>(id), FALSE, &info);
  }
  return bar;
}

void GameWindow::ShowState(int id, std::uint32_t state) {
  // The game's state words are the system's: 3 greyed, 8 checked.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  info.fState = state;
  ::SetMenuItemInfoW(menuBar_, static_cast<UINT>(id), FALSE, &info);
}

void GameWindow::PostMouse(std::uint32_t message, WPARAM wParam, LPARAM lParam) {
  // In surface pixels; never negative while the pointer is over the client area or confined
  // to it.
  const int x = std::max(static_cast<int>(static_cast<short>(LOWORD(lParam))), 0) / scale_;
  const int y = std::max(static_cast<int>(static_cast<short>(HIWORD(lParam))), 0) / scale_;
  queue_.PostMessage(message, wParam & (MK_LBUTTON | MK_RBUTTON), MakePointLParam(x, y));
}

void GameWindow::OtherProgramActivated(bool active) {
  otherProgramActive_ = active;
  ReportActivation();
}

void GameWindow::ReportActivation() {
  // The system tells the application's activation exactly, our own dialogs and boxes being
  // part of it; only the help stands for another program. Changes alone are told.
  const bool active = applicationActive_ && !otherProgramActive_;
  if (active == postedActive_) return;
  postedActive_ = active;
  queue_.PostMessage(WM_ACTIVATEAPP, active ? 1 : 0);
}

void GameWindow::SetHandOver(UINT message, std::function<bool()> onHandOver) {
  handOverMessage_ = message;
  onHandOver_ = std::move(onHandOver);
}

SIZE GameWindow::OuterSize(UINT dpi) const {
  const int scale = ScaleFor(dpi);
  RECT rect{0, 0, platform::kClientWidth * scale, platform::kClientHeight * scale};
  AdjustForDpi(rect, dpi);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void GameWindow::Rescale(UINT dpi, const RECT* suggested) {
  scale_ = ScaleFor(dpi);
  SIZE size = OuterSize(dpi);
  RECT window;
  ::GetWindowRect(window_, &window);
  const POINT at =
      suggested ? POINT{suggested->left, suggested->top} : POINT{window.left, window.top};
  ::SetWindowPos(window_, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wrapped, or a frame of other metrics: the client area is what counts.
  RECT client;
  ::GetClientRect(window_, &client);
  size.cx += platform::kClientWidth * scale_ - (client.right - client.left);
  size.cy += platform::kClientHeight * scale_ - (client.bottom - client.top);
  ::SetWindowPos(window_, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, FALSE);
}

int GameWindow::ScreenWidth() const {
  return ::GetSystemMetrics(SM_CXSCREEN);
}

int GameWindow::ScreenHeight() const {
  return ::GetSystemMetrics(SM_CYSCREEN);
}

platform::Rect GameWindow::WindowRect() const {
  RECT rect;
  if (::IsIconic(window_)) {
    // The normal place of a minimised window, kept in work-area coordinates.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window_, &placement);
    rect = placement.rcNormalPosition;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    ::OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left,
                 monitor.rcWork.top - monitor.rcMonitor.top);
  } else {
    ::GetWindowRect(window_, &rect);
  }
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void GameWindow::SetWindowPos(int x, int y, int, int, bool topmost) {
  ::SetWindowPos(window_, topmost ? HWND_TOPMOST : nullptr, x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | (topmost ? 0 : SWP_NOZORDER));
}

void GameWindow::ShowWindow(platform::ShowCommand command) {
  if (command == platform::ShowCommand::kMinimize) {
    ::ShowWindow(window_, SW_MINIMIZE);
    return;
  }
  ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window_);
}

platform::Point GameWindow::ClientToScreen(platform::Point client) const {
  POINT point{client.x * scale_, client.y * scale_};
  ::ClientToScreen(window_, &point);
  return {point.x, point.y};
}

bool GameWindow::PointerOverClient() const {
  POINT point;
  if (!::GetCursorPos(&point) || ::WindowFromPoint(point) != window_) return false;
  ::ScreenToClient(window_, &point);
  RECT client;
  ::GetClientRect(window_, &client);
  return ::PtInRect(&client, point) != FALSE;
}

void GameWindow::ShowCursor(bool show) {
  cursorHidden_ = !show;
  // The cursor changes by itself only as the pointer next moves.
  if (PointerOverClient()) {
    ::SetCursor(show ? ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) : nullptr);
  }
}

void GameWindow::ClipCursor(const platform::Rect* screenRect) {
  if (!screenRect) {
    ::ClipCursor(nullptr);
    return;
  }
  // Right and bottom edges are outside the rectangle, as the system takes them.
  const RECT rect{screenRect->left, screenRect->top, screenRect->right, screenRect->bottom};
  ::ClipCursor(&rect);
}

void GameWindow::SetCursorPos(int screenX, int screenY) {
  ::SetCursorPos(screenX, screenY);
}

void GameWindow::SetTimer(std::uintptr_t id, unsigned periodMs) {
  gameTimers_.insert(id);
  ::SetTimer(window_, id, periodMs, nullptr);
}

void GameWindow::KillTimer(std::uintptr_t id) {
  gameTimers_.erase(id);
  ::KillTimer(window_, id);
}

void GameWindow::StartTimer(UINT_PTR id, unsigned periodMs, std::function<void()> onTick) {
  ownTimers_[id] = std::move(onTick);
  ::SetTimer(window_, id, periodMs, nullptr);
}

void GameWindow::StopTimer(UINT_PTR id) {
  ownTimers_.erase(id);
  ::KillTimer(window_, id);
}

void GameWindow::Present() {
  if (!window_ || ::IsIconic(window_)) return;
  const HDC dc = ::GetDC(window_);
  PresentTo(dc);
  ::ReleaseDC(window_, dc);
}

void GameWindow::PresentTo(HDC dc) {
  // The surface's rows of 640 words, the client area in the first 436 of them, top row first.
  // Its 0x00BBGGRR words are read as they are, through masks in that order.
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = platform::Surface::kWidth;
  info.header.biHeight = -platform::kClientHeight;
  info.header.biPlanes = 1;
  info.header.biBitCount = 32;
  info.header.biCompression = BI_BITFIELDS;
  info.masks[0] = 0x0000FF;
  info.masks[1] = 0x00FF00;
  info.masks[2] = 0xFF0000;
  // Each surface pixel a crisp square of scale x scale.
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, 0, 0, platform::kClientWidth * scale_, platform::kClientHeight * scale_, 0, 0,
                  platform::kClientWidth, platform::kClientHeight, surface_.Pixels(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  ::GdiFlush();
  presentedGeneration_ = surface_.Generation();
  if (++presents_ == 1 && onFirstPresent) onFirstPresent();
}

}  // namespace krelmo::win32
