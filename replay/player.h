// Plays a recorded match back on the real game: the journal answers every read the game's
// logic makes of the queue, the joystick and the dialogs, in the order it was recorded. The
// front end's own input never reaches the game, and the settings store is one in memory.
#pragma once

#include <memory>
#include <string>

#include "app/game.h"
#include "replay/journal.h"

namespace krelmo::replay {

class Player final : public platform::MessageSeam {
 public:
  enum class Outcome {
    kWaiting,  // the next timer tick of the journal has not come yet (paced playback)
    kMatched,  // played to the end: the final scores and the picture are the recorded ones
    kDiffers,  // played to the end, but it ended otherwise
    kParted,   // the game took other input than the journal's, or left some untaken
  };

  // `platform` is the front end's. The game is to be built over Wrapped(): the front end's
  // platform with the journal's joystick and dialogs, a store in memory that holds the
  // recorded settings and high-score tables, and a window that leaves the pointer alone.
  // Playback (replay/playback.h) builds both, and is what front ends and tools call.
  Player(platform::Platform& platform, Replay replay);
  ~Player() override;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  platform::Platform& Wrapped() { return *wrapped_; }

  // After the game's InitApplication: puts back the recorded state of the match's start
  // and starts the match.
  void Begin(app::Game& game);
  // Runs the journal until it is played out or parted from, or, when paced, until it
  // needs a timer tick that has not been allowed yet.
  Outcome Run();
  // Paced playback lets each of the journal's timer ticks through only when one is allowed.
  void SetPaced(bool paced) { paced_ = paced; }
  void AllowTick() { ++ticksAllowed_; }

  Outcome Result() const { return outcome_; }
  // Why the playback parted or ended otherwise; empty when it matched.
  const std::string& Why() const { return why_; }
  const Replay& Journal() const { return replay_; }
  const Ending& Reached() const { return reached_; }

  bool Peek(platform::MessageQueue& queue, Message& out, MessageId filterMin, MessageId filterMax,
            bool remove) override;

 private:
  class Joystick;
  class Dialogs;
  class Window;

  const Event* Next() const {
    return next_ < replay_.events.size() ? &replay_.events[next_] : nullptr;
  }
  bool Playing() const { return outcome_ == Outcome::kWaiting; }
  // Runs the events that enter the game from outside (messages, the joystick's poll)
  // until the next is `wanted`; false when it parted first or the match ended.
  bool PumpUntil(Kind wanted);
  // The next `wanted` event, taken after PumpUntil; null when there is none. While a box is
  // "open" the journal's messages go on being dispatched, as a nested loop would.
  const Event* Take(Kind wanted);
  // Dispatches what the journal's next messages are; the poll runs on its own.
  bool RunEntry();
  void Part(const std::string& what);
  void End();
  std::string Where() const;

  platform::Platform& platform_;
  Replay replay_;
  std::unique_ptr<Joystick> joystick_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<Window> window_;
  platform::Registry registry_;
  std::unique_ptr<platform::Platform> wrapped_;
  app::Game* game_ = nullptr;
  std::size_t next_ = 0;
  bool paced_ = false;
  std::uint64_t ticksAllowed_ = 0;
  Outcome outcome_ = Outcome::kWaiting;
  std::string why_;
  Ending reached_;
};

}  // namespace krelmo::replay
