// Keys, the pointer and menu commands, from the page's events into the shown game's queue.
#include "frontend/web/page_input.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "frontend/web/web_page.h"
#include "platform/scan_codes.h"

namespace krelmo::web {

namespace {

constexpr const char* kCanvas = "#screen";
constexpr WPARAM kMkLButton = 0x0001;
constexpr WPARAM kMkRButton = 0x0002;

WebPlatform* shown = nullptr;

void Post(MessageId message, WPARAM wParam, LPARAM lParam) {
  shown->queue.PostMessage(message, wParam, lParam);
  krelmo_wake();
}

// CSS pixels of the page per client pixel of the game.
double Scale() {
  double width = 0, height = 0;
  emscripten_get_element_css_size(kCanvas, &width, &height);
  return width > 0 ? width / platform::kClientWidth : 1.0;
}

bool Locked() {
  EmscriptenPointerlockChangeEvent status;
  return emscripten_get_pointerlock_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isActive;
}

WPARAM Buttons(unsigned short buttons) {
  return ((buttons & 1) ? kMkLButton : 0) | ((buttons & 2) ? kMkRButton : 0);
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  if (!shown || !krelmo_keys_to_game()) return EM_FALSE;
  // The browser's key codes are the virtual keys of a PC keyboard.
  const WPARAM key = event->keyCode;
  if (key == 0) return EM_FALSE;
  const platform::ScanCode scan = platform::ScanCodeForVirtualKey(key);
  Post(WM_KEYDOWN, key, MakeKeyLParam(scan.code, scan.extended, event->altKey, event->repeat));
  // F2, F3 and Esc are the game's: the browser does nothing with them (find, stop...).
  return key == VK_F2 || key == VK_F3 || key == VK_ESCAPE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* event, void*) {
  if (!shown) return EM_FALSE;
  const double scale = Scale();
  shown->windowSystem.PointerMoved(event->targetX / scale, event->targetY / scale,
                                   event->movementX / scale, Locked(), Buttons(event->buttons));
  krelmo_wake();
  return EM_FALSE;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* event, void*) {
  if (!shown) return EM_FALSE;
  const MessageId message = event->button == 0   ? WM_LBUTTONDOWN
                            : event->button == 2 ? WM_RBUTTONDOWN
                                                 : 0;
  if (message == 0) return EM_FALSE;
  const double scale = Scale();
  Post(message, Buttons(event->buttons),
       MakePointLParam(static_cast<int>(event->targetX / scale),
                       static_cast<int>(event->targetY / scale)));
  return EM_FALSE;
}

}  // namespace

void ListenToThePage() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKeyDown);
  emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, OnMouseMove);
  emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, OnMouseDown);
}

void ShowInCanvas(WebPlatform* platform) {
  if (shown) shown->frameHost.SetShown(false);
  shown = platform;
  if (shown) shown->frameHost.SetShown(true);
}

WebPlatform* ShownInCanvas() {
  return shown;
}

}  // namespace krelmo::web

using krelmo::web::shown;

// A command of the menu bar.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_menu_command(int id) {
  if (shown) krelmo::web::Post(krelmo::WM_COMMAND, static_cast<krelmo::WPARAM>(id), 0);
}

// The browser let go of the pointer during play by itself: as Esc in the window, which the
// browser keeps from the page.
extern "C" EMSCRIPTEN_KEEPALIVE void krelmo_pointer_lost() {
  if (!shown || !shown->windowSystem.Confined()) return;
  const krelmo::platform::ScanCode scan =
      krelmo::platform::ScanCodeForVirtualKey(krelmo::VK_ESCAPE);
  krelmo::web::Post(krelmo::WM_KEYDOWN, krelmo::VK_ESCAPE,
                    krelmo::MakeKeyLParam(scan.code, scan.extended, false, false));
}
