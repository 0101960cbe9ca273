// A recorded match played back on a game of its own: the player over the front end's
// platform, the game over the player, its start-up and the match begun. What every front end
// and the simulator call to show a replay.
#pragma once

#include <functional>
#include <string>

#include "app/game.h"
#include "replay/player.h"

namespace krelmo::replay {

// How a program that plays a replay back ends, as krelmo99 --replay and krelmo-sim --replay
// do: 0 when the match ended as recorded (or the viewer ended it first).
constexpr int kExitReplayDiffers = 1;
constexpr int kExitReplayUnreadable = 2;

enum class Pace {
  kAsRecorded,  // each recorded tick waits for a tick of the front end's play timer
  kAtOnce,      // as fast as it goes
};

class Playback {
 public:
  using Outcome = Player::Outcome;

  // `platform` is the front end's. Nothing runs yet: whoever shows the playback may hook
  // into Game() (and show its window) before Start().
  Playback(platform::Platform& platform, Replay replay, Pace pace);
  // Shuts the game down when it was started.
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // The game's start-up, then the recorded state of the match's start put back and the match
  // started.
  void Start();
  // Runs the journal until it is played out or parted from; paced, only as far as the
  // front end's play timer has allowed.
  Outcome Run();
  // A paced playback's turn of the front end's loop. The viewer's own input is taken from the
  // front end's queue and left out, but for the play timer, whose each tick lets one recorded
  // tick through, and Esc or closing the window, which end the playback: false then. Then the
  // journal runs as far as it is allowed.
  bool Turn();
  // A paced playback shown in the front end's loop: Start(), then turns until the viewer ends
  // it, with `waitForEvents` between them; `ended` is told once, as soon as the match has
  // ended (as recorded or not: Differs(), Why()). Answers the viewer's exit code.
  int Show(const std::function<void()>& ended, const std::function<void()>& waitForEvents);
  // "krelmo99: the replay ..." on the console: how the match ended against its recording.
  void TellOnConsole() const;

  Outcome Result() const { return player_.Result(); }
  // The playback parted from its recording or ended otherwise than it did.
  bool Differs() const { return Result() == Outcome::kDiffers || Result() == Outcome::kParted; }
  // Why it differs; empty when it did not.
  const std::string& Why() const { return player_.Why(); }
  const Ending& Reached() const { return player_.Reached(); }
  const Ending& Recorded() const { return player_.Journal().ending; }
  // The game's state, for a summary.
  app::Game& Game() { return game_; }
  const app::Game& Game() const { return game_; }

 private:
  platform::Platform& platform_;
  Player player_;
  app::Game game_;  // built over the player, and gone before it
  bool started_ = false;
};

}  // namespace krelmo::replay
