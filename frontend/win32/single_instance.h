// One running game per session: the named mutex "Krelmo" says who runs, and a second start
// sends the registered message "Krelmo" to the running game's window, which comes to the front
// and answers once it has taken it. The game lets the mutex go as soon as its settings are
// saved at the end, and a start that the game holding the mutex does not answer (it is ending)
// waits for the mutex instead of ending.
#pragma once

#include <string>

#include "frontend/win32/win32.h"

namespace krelmo::win32 {

class SingleInstance {
 public:
  enum class Start {
    kClaimed,     // this start is the game
    kHandedOver,  // the running game took the hand-over
    kNoAnswer,    // the mutex stayed held, and nobody answered in the time allowed
  };

  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // The registered message of the hand-over, which the game's window answers.
  UINT HandOverMessage() const { return message_; }

  // Takes the mutex, or else hands over to the game that holds it; while that game is still
  // starting (no window yet), or ending (it answers no more), tries both again until the time
  // allowed is up.
  Start ClaimOrHandOver(int timeoutMs);
  // Lets the mutex go: a start from now on is a game of its own.
  void Release();

 private:
  // Sends the hand-over to every window of the game's class; true when one took it.
  bool HandOver(int timeoutMs) const;

  UINT message_;
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

}  // namespace krelmo::win32
