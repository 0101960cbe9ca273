// The playback's seams: every read the game's logic makes is answered from the journal,
// and any read the journal does not have, or an entry it leaves untaken, parts the two.
#include "replay/player.h"

#include <cinttypes>
#include <cstdio>

#include "replay/game_state.h"

namespace krelmo::replay {

namespace {

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kTimer:
      return "a timer tick";
    case Kind::kDispatch:
      return "a message";
    case Kind::kQuit:
      return "the quit message";
    case Kind::kMouse:
      return "a mouse move";
    case Kind::kRightClick:
      return "a right click";
    case Kind::kJoystick:
      return "a joystick reading";
    case Kind::kPoll:
      return "a joystick poll";
    case Kind::kAnswer:
      return "a message box's answer";
    case Kind::kName:
      return "a high-score name";
    case Kind::kHelp:
      return "the help";
    case Kind::kAbout:
      return "the About box";
  }
  return "an event";
}

}  // namespace

class Player::Joystick final : public platform::JoystickDevice {
 public:
  explicit Joystick(Player& player) : player_(player) {}

  bool GetDevCaps() override { return player_.replay_.header.joystickPresent != 0; }
  bool GetPos(platform::JoystickReading& reading) override {
    if (!player_.game_) {  // start-up, before the match: the recorded reading
      reading = player_.replay_.header.joyInfo;
      return true;
    }
    const Event* event = player_.Take(Kind::kJoystick);
    if (!event) return false;
    reading = event->reading;
    return event->ok;
  }
  std::uint32_t StartPoll(std::uint32_t, void (*poll)(void*), void* context) override {
    poll_ = poll;
    context_ = context;
    return 1;
  }
  void StopPoll(std::uint32_t) override { poll_ = nullptr; }

  void Poll() {
    if (poll_) poll_(context_);
  }

 private:
  Player& player_;
  void (*poll_)(void*) = nullptr;
  void* context_ = nullptr;
};

class Player::Dialogs final : public platform::Dialogs {
 public:
  explicit Dialogs(Player& player) : player_(player) {}

  int MessageBox(std::string_view, std::string_view, std::uint32_t) override {
    const Event* answer = Take(Kind::kAnswer);
    return answer ? answer->answer : platform::IDNO;
  }
  void ShowAbout() override { Take(Kind::kAbout); }
  bool ShowHelp() override {
    const Event* help = Take(Kind::kHelp);
    return help && help->ok;
  }
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override {
    const Event* name = Take(Kind::kName);
    return name ? name->text : content.editText;
  }

 private:
  const Event* Take(Kind kind) { return player_.Take(kind); }

  Player& player_;
};

// The pointer and the window stay the viewer's: a playback neither hides, confines nor moves
// the pointer, nor minimises the window when the recorded game lost the focus.
class Player::Window final : public platform::WindowSystem {
 public:
  explicit Window(platform::WindowSystem& window) : window_(window) {}

  int ScreenWidth() const override { return window_.ScreenWidth(); }
  int ScreenHeight() const override { return window_.ScreenHeight(); }
  platform::Rect WindowRect() const override { return window_.WindowRect(); }
  void SetWindowPos(int x, int y, int width, int height, bool topmost) override {
    window_.SetWindowPos(x, y, width, height, topmost);
  }
  void ShowWindow(platform::ShowCommand) override {}
  platform::Point ClientToScreen(platform::Point client) const override {
    return window_.ClientToScreen(client);
  }
  void ShowCursor(bool) override {}
  void ClipCursor(const platform::Rect*) override {}
  void SetCursorPos(int, int) override {}
  void SetTimer(std::uintptr_t id, unsigned periodMs) override { window_.SetTimer(id, periodMs); }
  void KillTimer(std::uintptr_t id) override { window_.KillTimer(id); }

 private:
  platform::WindowSystem& window_;
};

Player::Player(platform::Platform& platform, Replay replay)
    : platform_(platform),
      replay_(std::move(replay)),
      joystick_(std::make_unique<Joystick>(*this)),
      dialogs_(std::make_unique<Dialogs>(*this)),
      window_(std::make_unique<Window>(platform.window)) {
  RestoreStore(replay_.header, registry_);
  const platform::Platform& p = platform;
  wrapped_.reset(new platform::Platform{p.surface, p.queue, p.pc, p.frameHost, *window_, *dialogs_,
                                        p.menu, p.sound, *joystick_, registry_});
}

Player::~Player() {
  platform_.queue.SetSeam(nullptr);
}

void Player::Begin(app::Game& game) {
  game_ = &game;
  RestoreStart(replay_.header, game);
  platform_.queue.SetSeam(this);
  game.StartNewGame();
}

Player::Outcome Player::Run() {
  if (outcome_ == Outcome::kWaiting && game_) {
    while (Playing()) {
      if (!RunEntry()) break;
    }
  }
  return outcome_;
}

bool Player::RunEntry() {
  const Event* event = Next();
  if (!event) {
    End();
    return false;
  }
  switch (event->kind) {
    case Kind::kTimer:
      if (paced_ && ticksAllowed_ == 0) return false;  // waits for the real timer
      [[fallthrough]];
    case Kind::kDispatch:
    case Kind::kQuit:
      // Takes the journal's messages through the queue, as the game's loop does.
      game_->DispatchPending();
      return true;
    case Kind::kPoll:
      ++next_;
      joystick_->Poll();
      return true;
    default:
      Part(std::string("the game did not take ") + KindName(event->kind));
      return false;
  }
}

const Event* Player::Take(Kind wanted) {
  if (!PumpUntil(wanted)) return nullptr;
  return &replay_.events[next_++];
}

bool Player::PumpUntil(Kind wanted) {
  while (Playing()) {
    const Event* event = Next();
    if (!event) {
      End();
      return false;
    }
    if (event->kind == wanted) return true;
    const bool entry = event->kind == Kind::kTimer || event->kind == Kind::kDispatch ||
                       event->kind == Kind::kQuit || event->kind == Kind::kPoll;
    if (!entry) {
      Part(std::string("the game asked for ") + KindName(wanted) + " where the journal has " +
           KindName(event->kind));
      return false;
    }
    // Inside a box the journal's ticks run unpaced: the box has already closed.
    if (event->kind == Kind::kTimer) ++ticksAllowed_;
    RunEntry();
  }
  return false;
}

bool Player::Peek(platform::MessageQueue&, Message& out, MessageId filterMin, MessageId filterMax,
                  bool remove) {
  const Event* event = Next();
  if (!Playing() || !game_) return false;
  const bool any = filterMin == 0 && filterMax == 0;
  if (!event) {
    // The recording closed at the game's next look at its whole queue: a step that finds
    // no move after the journal's last one plays on to there.
    if (any) End();
    return false;
  }
  const engine::Engine& engine = game_->engine;
  if (any) {
    switch (event->kind) {
      case Kind::kTimer:
        if (paced_ && ticksAllowed_ == 0) return false;
        if (event->check != StateCheck(engine.state)) {
          Part("the ball is not where it was when the timer ticked");
          return false;
        }
        if (ticksAllowed_ > 0) --ticksAllowed_;
        out = {WM_TIMER, app::kPlayTimerId, 0};
        break;
      case Kind::kDispatch:
      case Kind::kQuit:
        out = event->message;
        break;
      default:
        return false;  // not a message: whoever waits for it takes it
    }
    if (remove) ++next_;
    return true;
  }
  const bool here = event->step == engine.step;
  if (filterMin == WM_MOUSEMOVE && filterMax == WM_MOUSEMOVE && event->kind == Kind::kMouse &&
      here) {
    out = event->message;
    if (remove) ++next_;
    return true;
  }
  if (filterMin == WM_RBUTTONDOWN && filterMax == WM_RBUTTONDOWN &&
      event->kind == Kind::kRightClick && here) {
    out = {WM_RBUTTONDOWN, 0, 0};
    ++next_;  // seen once, where it ended the frame
    return true;
  }
  return false;
}

void Player::End() {
  if (!Playing()) return;
  reached_ = EndingOf(game_->engine.state, platform_.surface);
  const Ending& recorded = replay_.ending;
  if (reached_ == recorded) {
    outcome_ = Outcome::kMatched;
    return;
  }
  outcome_ = Outcome::kDiffers;
  char text[320];
  if (reached_.scores != recorded.scores || reached_.balls != recorded.balls) {
    const auto& a = reached_;
    const auto& b = recorded;
    std::snprintf(text, sizeof text,
                  "the match ended with scores %d %d %d %d and balls %d %d %d %d, recorded: "
                  "scores %d %d %d %d and balls %d %d %d %d, %s",
                  a.scores[0], a.scores[1], a.scores[2], a.scores[3], a.balls[0], a.balls[1],
                  a.balls[2], a.balls[3], b.scores[0], b.scores[1], b.scores[2], b.scores[3],
                  b.balls[0], b.balls[1], b.balls[2], b.balls[3], Where().c_str());
  } else {
    std::snprintf(text, sizeof text,
                  "the match ended with the recorded scores but another picture (%016" PRIX64
                  ", recorded %016" PRIX64 ")",
                  reached_.surface, recorded.surface);
  }
  why_ = text;
}

void Player::Part(const std::string& what) {
  if (!Playing()) return;
  outcome_ = Outcome::kParted;
  why_ = what + " " + Where();
}

std::string Player::Where() const {
  const engine::Engine& engine = game_->engine;
  // The journal's line: the events follow the header.
  char text[160];
  std::snprintf(text, sizeof text, "at frame %" PRIu64 ", step %d (journal line %zu)",
                engine.framesRun, engine.step, next_ + kHeaderLines + 1);
  return text;
}

}  // namespace krelmo::replay
