// The single-instance mutex and the hand-over message.
#include "frontend/win32/single_instance.h"

#include "frontend/win32/game_window.h"

namespace krelmo::win32 {

namespace {

constexpr wchar_t kName[] = L"Krelmo";
constexpr wchar_t kWindowClass[] = L"KrMo";
constexpr DWORD kRetryMs = 50;

struct HandOverSearch {
  UINT message;
  DWORD timeoutMs;
  bool taken = false;
};

BOOL CALLBACK OfferHandOver(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<HandOverSearch*>(search);
  wchar_t name[8] = {};
  ::GetClassNameW(window, name, 8);
  if (std::wstring_view(name) != kWindowClass) return TRUE;
  // The running game may come to the front: this start is the one the player just made.
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  ::AllowSetForegroundWindow(process);
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(window, s.message, 0, 0, SMTO_ABORTIFHUNG, s.timeoutMs, &answer) &&
      answer == static_cast<DWORD_PTR>(kHandOverTaken)) {
    s.taken = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

SingleInstance::SingleInstance() : message_(::RegisterWindowMessageW(kName)) {}

SingleInstance::~SingleInstance() {
  Release();
}

bool SingleInstance::HandOver(int timeoutMs) const {
  HandOverSearch search{message_, static_cast<DWORD>(std::max(timeoutMs, 1))};
  ::EnumWindows(&OfferHandOver, reinterpret_cast<LPARAM>(&search));
  return search.taken;
}

SingleInstance::Start SingleInstance::ClaimOrHandOver(int timeoutMs) {
  mutex_ = ::CreateMutexW(nullptr, TRUE, kName);
  if (!mutex_) return Start::kClaimed;  // no mutex to be had: run alone rather than not at all
  if (::GetLastError() != ERROR_ALREADY_EXISTS) {
    owned_ = true;
    return Start::kClaimed;
  }
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    const auto left = [deadline] {
      const ULONGLONG now = ::GetTickCount64();
      return now >= deadline ? 0 : static_cast<int>(deadline - now);
    };
    if (HandOver(left())) return Start::kHandedOver;
    // The game holding the mutex is starting (no window yet) or ending (it answers no more,
    // and lets go of the mutex once its settings are saved).
    const DWORD wait = ::WaitForSingleObject(mutex_, std::min<DWORD>(kRetryMs, left()));
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      owned_ = true;
      return Start::kClaimed;
    }
    if (left() == 0) return Start::kNoAnswer;
  }
}

void SingleInstance::Release() {
  if (owned_) ::ReleaseMutex(mutex_);
  owned_ = false;
  if (mutex_) ::CloseHandle(mutex_);
  mutex_ = nullptr;
}

}  // namespace krelmo::win32
