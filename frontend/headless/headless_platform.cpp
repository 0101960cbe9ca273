#include "frontend/headless/headless_platform.h"

#include "resources/fonts/game_font.h"
#include "resources/menu.h"

namespace krelmo::headless {

void HeadlessFrameHost::WhileWaiting(std::uint32_t ticksLeft) {
  ++waits;
  if (onWait) onWait();
  clock_.Advance(ticksLeft == 0 ? 1 : ticksLeft);
}

void HeadlessWindowSystem::SetWindowPos(int x, int y, int, int, bool onTop) {
  rect = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
  topmost = onTop;
  minimized = false;
  if (onPlace) onPlace();
}

void HeadlessWindowSystem::ShowWindow(platform::ShowCommand command) {
  if (command == platform::ShowCommand::kMinimize) {
    minimized = true;
    ++minimizeCount;
  } else {
    minimized = false;
    ++restoreCount;
  }
}

platform::Point HeadlessWindowSystem::ClientToScreen(platform::Point client) const {
  return {rect.left + clientOffset.x + client.x, rect.top + clientOffset.y + client.y};
}

void HeadlessWindowSystem::ClipCursor(const platform::Rect* screenRect) {
  if (screenRect) {
    cursorClip = *screenRect;
  } else {
    cursorClip.reset();
  }
}

int ScriptedDialogs::MessageBox(std::string_view text, std::string_view caption,
                                std::uint32_t style) {
  shown.push_back({std::string(text), std::string(caption), style});
  if (onModal) onModal();
  GiveFocusBack();
  if (answers.empty()) return platform::IDNO;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string ScriptedDialogs::ShowHighScoreDialog(const platform::HighScoreDialogContent& content) {
  highScoreDialogs.push_back(content);
  if (onModal) onModal();
  GiveFocusBack();
  if (!namesToType.empty()) {
    std::string name = std::move(namesToType.front());
    namesToType.pop_front();
    return name;
  }
  return nameToType.value_or(content.editText);
}

bool RecordingSound::PlaySound(int waveId, std::uint32_t flags) {
  plays.push_back({waveId, flags});
  return available;
}

bool FakeJoystick::GetPos(platform::JoystickReading& out) {
  if (!present || !readable) return false;
  out = reading;
  return true;
}

std::uint32_t FakeJoystick::StartPoll(std::uint32_t, void (*poll)(void*), void* context) {
  pollFunction = poll;
  pollContext = context;
  pollId = 7;
  return pollId;
}

void FakeJoystick::StopPoll(std::uint32_t id) {
  if (id == pollId) pollFunction = nullptr;
  ++stopCount;
}

HeadlessPlatform::HeadlessPlatform()
    : platform_{surface, queue, pc, frameHost, window, dialogs, menu, sound, joystick, registry} {
  pc.RecordWritesTo(&portWrites);
  surface.SetFont(&resources::kGameFont);
  resources::LoadMainMenu(menu);
}

}  // namespace krelmo::headless
