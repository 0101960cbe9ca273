// A front end with no window: a hand-driven clock, a registry kept in memory, recorded sound
// and port writes, scripted dialog answers. The tests and the simulator run the real game
// code on it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace krelmo::headless {

// Busy waits jump the clock straight to their end, so a frame takes no real time.
class HeadlessFrameHost final : public platform::FrameHost {
 public:
  explicit HeadlessFrameHost(platform::ManualClock& clock) : clock_(clock) {}
  void WhileWaiting(std::uint32_t ticksLeft) override;
  void WaitForEvents() override {
    ++idleWaits;
    if (onIdle) onIdle();
  }

  // Runs inside every wait, before the clock jumps: a test can post input "during" a step.
  std::function<void()> onWait;
  std::function<void()> onIdle;  // runs in every wait for events
  std::uint64_t waits = 0;
  std::uint64_t idleWaits = 0;

 private:
  platform::ManualClock& clock_;
};

class HeadlessWindowSystem final : public platform::WindowSystem {
 public:
  int ScreenWidth() const override { return screenWidth; }
  int ScreenHeight() const override { return screenHeight; }
  platform::Rect WindowRect() const override { return rect; }
  void SetWindowPos(int x, int y, int width, int height, bool topmost) override;
  void ShowWindow(platform::ShowCommand command) override;
  platform::Point ClientToScreen(platform::Point client) const override;
  void ShowCursor(bool show) override { cursorShown = show; }
  void ClipCursor(const platform::Rect* screenRect) override;
  void SetCursorPos(int screenX, int screenY) override { cursorPos = {screenX, screenY}; }
  void SetTimer(std::uintptr_t id, unsigned periodMs) override { timers[id] = periodMs; }
  void KillTimer(std::uintptr_t id) override { timers.erase(id); }

  int screenWidth = 1024;
  int screenHeight = 768;
  // The outer frame. Like the real window it keeps its size when placed: a test gives it
  // the size of a larger frame (a taller menu bar, a caption) by setting it here.
  platform::Rect rect{0, 0, platform::kWindowWidth, platform::kWindowHeight};
  bool topmost = false;
  bool minimized = false;
  int minimizeCount = 0;
  int restoreCount = 0;
  bool cursorShown = true;
  std::optional<platform::Rect> cursorClip;
  platform::Point cursorPos;
  std::map<std::uintptr_t, unsigned> timers;
  std::function<void()> onPlace;  // called after each placement
  // The client area's offset inside the outer frame: a 3-pixel border, caption and menu.
  platform::Point clientOffset{3, 41};
};

// Answers message boxes from a script; an unscripted question is answered No. As a box or
// dialog closes the window gets the keyboard back, as the Qt window does: a WM_SETFOCUS is
// posted to the game's queue, which the game takes once the call has returned.
class ScriptedDialogs final : public platform::Dialogs {
 public:
  explicit ScriptedDialogs(platform::MessageQueue& queue) : queue_(queue) {}
  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void ShowAbout() override {
    ++aboutShown;
    if (onModal) onModal();
    GiveFocusBack();
  }
  bool ShowHelp() override {
    ++helpShown;
    return helpAvailable;
  }
  // Types the first of `namesToType`, else `nameToType` (when set), into the edit box and
  // presses OK.
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override;

  struct Shown {
    std::string text;
    std::string caption;
    std::uint32_t style;
  };
  std::deque<int> answers;
  std::vector<Shown> shown;
  int aboutShown = 0;
  int helpShown = 0;
  bool helpAvailable = true;
  std::vector<platform::HighScoreDialogContent> highScoreDialogs;
  std::optional<std::string> nameToType;
  std::deque<std::string> namesToType;  // typed first, one a dialog
  // Runs while a box or dialog is "open", before it answers: a nested loop's work.
  std::function<void()> onModal;

 private:
  void GiveFocusBack() { queue_.PostMessage(WM_SETFOCUS); }

  platform::MessageQueue& queue_;
};

class RecordingSound final : public platform::SoundOutput {
 public:
  bool PlaySound(int waveId, std::uint32_t flags) override;
  struct Play {
    int waveId;
    std::uint32_t flags;
  };
  std::vector<Play> plays;
  bool available = true;
};

class FakeJoystick final : public platform::JoystickDevice {
 public:
  bool GetDevCaps() override { return present; }
  bool GetPos(platform::JoystickReading& reading) override;
  std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) override;
  void StopPoll(std::uint32_t id) override;

  bool present = false;
  bool readable = true;
  platform::JoystickReading reading;
  std::uint32_t pollId = 0;
  void (*pollFunction)(void*) = nullptr;
  void* pollContext = nullptr;
  int stopCount = 0;
};

// Owns one of everything, with the main menu loaded in its initial states.
class HeadlessPlatform {
 public:
  HeadlessPlatform();
  platform::Platform& Get() { return platform_; }

  platform::ManualClock clock;
  platform::Surface surface;
  platform::MessageQueue queue;
  platform::PcHardware pc{clock};
  std::vector<platform::PortWrite> portWrites;
  HeadlessFrameHost frameHost{clock};
  HeadlessWindowSystem window;
  ScriptedDialogs dialogs{queue};
  platform::MenuModel menu;
  RecordingSound sound;
  FakeJoystick joystick;
  platform::Registry registry;  // in memory: no file

 private:
  platform::Platform platform_;
};

}  // namespace krelmo::headless
