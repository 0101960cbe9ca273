// The game's dialogs service in a page: message boxes, the About and high-score dialogs laid
// out from their templates as modal HTML dialogs, and the help, a part of the page.
#pragma once

#include <functional>

#include "frontend/web/web_frame_host.h"
#include "platform/dialogs.h"
#include "platform/message_queue.h"
#include "resources/dialogs.h"

namespace krelmo::web {

// Each call returns when its dialog has been answered. Meanwhile the game's queued messages
// keep reaching its window procedure through the nested dispatch, as a nested loop of its
// own would dispatch them. As a dialog closes the canvas gets the keyboard back and the game
// hears of it as a WM_SETFOCUS, as it does from every front end.
class WebDialogs final : public platform::Dialogs {
 public:
  WebDialogs(platform::MessageQueue& queue, WebFrameHost& frameHost)
      : queue_(queue), frameHost_(frameHost) {}

  // The game's DispatchPending, which answers false once it took the quit message.
  void SetNestedDispatch(std::function<bool()> dispatch) { dispatch_ = std::move(dispatch); }

  // A Yes/No question has no way out but its two buttons; IDNO when the game quit meanwhile.
  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override;
  void ShowAbout() override;
  // Shows the help beside the game; the game counts it as another program while it has the
  // keyboard.
  bool ShowHelp() override;
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override;

 private:
  // The template's frame and controls in the page; `text` fills in the controls by id.
  int Open(const resources::DialogTemplate& dialog, bool centred,
           const std::function<std::string_view(int id)>& text);
  // Until the dialog is answered; false when the game quit, the dialog then being closed and
  // the quit message left for the outer loop.
  bool Run(int dialog);
  // Closes the dialog and gives the canvas the keyboard back.
  void Finish(int dialog);

  platform::MessageQueue& queue_;
  WebFrameHost& frameHost_;
  std::function<bool()> dispatch_;
};

}  // namespace krelmo::web
