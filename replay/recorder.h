// Records every match the game plays: it stands between the game's logic and the platform
// (the queue, the joystick, the dialogs) and notes what the logic takes while a match
// runs. A finished match's journal is handed on whole, to be written out between frames.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/game.h"
#include "replay/journal.h"

namespace krelmo::replay {

class Recorder final : public platform::MessageSeam, public app::MatchObserver {
 public:
  using Deliver = std::function<void(std::string journal)>;

  // `platform` is the front end's. The game is to be built over Wrapped(), which reaches
  // the joystick and the dialogs through the recorder.
  Recorder(platform::Platform& platform, Deliver deliver);
  ~Recorder() override;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  platform::Platform& Wrapped() { return *wrapped_; }
  // Starts listening to `game`, which was built over Wrapped() and goes before the recorder.
  void Attach(app::Game& game);
  bool Recording() const { return active_; }

  bool Peek(platform::MessageQueue& queue, Message& out, MessageId filterMin, MessageId filterMax,
            bool remove) override;
  void MatchStarting() override;
  void MatchEnded() override;

 private:
  class Joystick;
  class Dialogs;

  void Note(const Event& event);
  void Finish();

  platform::Platform& platform_;
  Deliver deliver_;
  std::unique_ptr<Joystick> joystick_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<platform::Platform> wrapped_;
  app::Game* game_ = nullptr;
  std::string journal_;
  bool active_ = false;
  bool ending_ = false;
};

}  // namespace krelmo::replay
