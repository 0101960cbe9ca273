// The game's dialogs service on Windows: the system's message boxes, the About and high-score
// dialogs laid out by the system from the game's templates, and the help window; while a box
// or dialog is open, the game's queued messages keep reaching its window procedure.
#pragma once

#include <functional>
#include <memory>

#include "frontend/win32/frame_host.h"
#include "frontend/win32/game_window.h"
#include "frontend/win32/help_window.h"
#include "platform/dialogs.h"
#include "platform/message_queue.h"

namespace krelmo::win32 {

class Dialogs final : public platform::Dialogs {
 public:
  Dialogs(GameWindow& owner, platform::MessageQueue& queue, const FrameHost& frameHost);
  ~Dialogs() override;

  // The game's DispatchPending, which answers false once it took the quit message: run about
  // every kDispatchIntervalMs while a box or dialog is open, as a nested loop of the game's
  // would. When the game quits meanwhile, every open box and dialog is closed and the quit
  // message waits for the outer loop.
  void SetNestedDispatch(std::function<bool()> dispatch) { dispatch_ = std::move(dispatch); }

  // IDOK for an "OK" box; IDYES or IDNO for a Yes/No question, which has no other way out.
  // IDNO when the game quit meanwhile.
  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void ShowAbout() override;
  bool ShowHelp() override;
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override;

  HelpWindow* Help() const { return help_.get(); }

  static constexpr unsigned kDispatchIntervalMs = 5;

 private:
  // Runs `show` (a modal call) with the nested dispatch beside it; false when the game quit.
  bool RunModal(const std::function<void()>& show);
  void DispatchTick();

  GameWindow& owner_;
  platform::MessageQueue& queue_;
  const FrameHost& frameHost_;
  std::function<bool()> dispatch_;
  int depth_ = 0;
  bool dispatching_ = false;
  bool quit_ = false;
  std::unique_ptr<HelpWindow> help_;
};

}  // namespace krelmo::win32
