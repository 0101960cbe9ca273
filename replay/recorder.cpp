// The recorder's seams: the queue, the joystick and the dialogs, each noting what the
// game's logic took.
#include "replay/recorder.h"

#include "replay/game_state.h"

namespace krelmo::replay {

namespace {

// Room for about an hour of busy play, so that no ball step waits on an allocation.
constexpr std::size_t kJournalRoom = 1u << 20;

// Room a line needs at most, but for names (written only outside frames).
constexpr std::size_t kLineRoom = 96;

}  // namespace

class Recorder::Joystick final : public platform::JoystickDevice {
 public:
  Joystick(Recorder& recorder, platform::JoystickDevice& device)
      : recorder_(recorder), device_(device) {}

  bool GetDevCaps() override { return device_.GetDevCaps(); }
  bool GetPos(platform::JoystickReading& reading) override {
    const bool ok = device_.GetPos(reading);
    if (recorder_.active_) {
      Event event(Kind::kJoystick);
      event.ok = ok;
      event.reading = reading;
      event.sameReading = reading.x == last_.x && reading.y == last_.y && reading.z == last_.z &&
                          reading.buttons == last_.buttons;
      last_ = reading;
      recorder_.Note(event);
    }
    return ok;
  }
  std::uint32_t StartPoll(std::uint32_t periodMs, void (*poll)(void*), void* context) override {
    poll_ = poll;
    context_ = context;
    return device_.StartPoll(periodMs, &Poll, this);
  }
  void StopPoll(std::uint32_t id) override { device_.StopPoll(id); }

  // A journal starts from a zero reading, as its parser does.
  void Restart() { last_ = {}; }

 private:
  static void Poll(void* self) {
    auto& joystick = *static_cast<Joystick*>(self);
    if (joystick.recorder_.active_) joystick.recorder_.Note(Event(Kind::kPoll));
    joystick.poll_(joystick.context_);
  }

  Recorder& recorder_;
  platform::JoystickDevice& device_;
  platform::JoystickReading last_;
  void (*poll_)(void*) = nullptr;
  void* context_ = nullptr;
};

class Recorder::Dialogs final : public platform::Dialogs {
 public:
  Dialogs(Recorder& recorder, platform::Dialogs& dialogs)
      : recorder_(recorder), dialogs_(dialogs) {}

  int MessageBox(std::string_view text, std::string_view caption, std::uint32_t style) override {
    const int answer = dialogs_.MessageBox(text, caption, style);
    Event event(Kind::kAnswer);
    event.answer = answer;
    if (recorder_.active_) recorder_.Note(event);
    return answer;
  }
  void ShowAbout() override {
    dialogs_.ShowAbout();
    if (recorder_.active_) recorder_.Note(Event(Kind::kAbout));
  }
  bool ShowHelp() override {
    const bool shown = dialogs_.ShowHelp();
    Event event(Kind::kHelp);
    event.ok = shown;
    if (recorder_.active_) recorder_.Note(event);
    return shown;
  }
  std::string ShowHighScoreDialog(const platform::HighScoreDialogContent& content) override {
    std::string name = dialogs_.ShowHighScoreDialog(content);
    if (recorder_.active_) {
      Event event(Kind::kName);
      event.text = name;
      recorder_.Note(event);
    }
    return name;
  }

 private:
  Recorder& recorder_;
  platform::Dialogs& dialogs_;
};

Recorder::Recorder(platform::Platform& platform, Deliver deliver)
    : platform_(platform),
      deliver_(std::move(deliver)),
      joystick_(std::make_unique<Joystick>(*this, platform.joystick)),
      dialogs_(std::make_unique<Dialogs>(*this, platform.dialogs)) {
  const platform::Platform& p = platform;
  wrapped_.reset(new platform::Platform{p.surface, p.queue, p.pc, p.frameHost, p.window, *dialogs_,
                                        p.menu, p.sound, *joystick_, p.registry});
}

Recorder::~Recorder() {
  platform_.queue.SetSeam(nullptr);
}

void Recorder::Attach(app::Game& game) {
  game_ = &game;
  game.matchObserver = this;
  platform_.queue.SetSeam(this);
}

void Recorder::Note(const Event& event) {
  // A step never waits on an allocation while the room lasts; beyond it, the journal grows.
  if (journal_.capacity() - journal_.size() < kLineRoom && journal_.capacity() < kJournalRoom) {
    journal_.reserve(kJournalRoom);
  }
  AppendEvent(journal_, event);
}

bool Recorder::Peek(platform::MessageQueue& queue, Message& out, MessageId filterMin,
                    MessageId filterMax, bool remove) {
  const bool any = filterMin == 0 && filterMax == 0;
  // A match that ended is closed at the next look at the queue: whatever the message that
  // ended it did is done by then.
  if (active_ && ending_ && any) Finish();
  const bool taken = queue.PeekQueued(out, filterMin, filterMax, remove);
  if (!active_ || !taken) return taken;

  const engine::Engine& engine = game_->engine;
  Event event;
  if (any && remove) {
    if (out.message == WM_QUIT) {
      Note(Event(Kind::kQuit));
      Finish();
      return taken;
    }
    const bool tick = out.message == WM_TIMER && out.wParam == app::kPlayTimerId;
    event.kind = tick ? Kind::kTimer : Kind::kDispatch;
    event.message = out;
    if (tick) event.check = StateCheck(engine.state);
  } else if (filterMin == WM_MOUSEMOVE && filterMax == WM_MOUSEMOVE && remove) {
    event.kind = Kind::kMouse;
    event.step = engine.step;
    event.message.lParam = out.lParam & 0xFFFF;
  } else if (filterMin == WM_RBUTTONDOWN && filterMax == WM_RBUTTONDOWN && !remove) {
    event.kind = Kind::kRightClick;
    event.step = engine.step;
  } else {
    return taken;
  }
  Note(event);
  return taken;
}

void Recorder::MatchStarting() {
  if (!game_) return;
  journal_.clear();
  journal_.reserve(kJournalRoom);
  journal_ += FormatHeader(CaptureStart(*game_, platform_.registry));
  joystick_->Restart();
  active_ = true;
  ending_ = false;
}

void Recorder::MatchEnded() {
  if (active_) ending_ = true;
}

void Recorder::Finish() {
  active_ = false;
  ending_ = false;
  AppendEnding(journal_, EndingOf(game_->engine.state, platform_.surface));
  std::string journal = std::move(journal_);
  journal_ = std::string();
  deliver_(std::move(journal));
}

}  // namespace krelmo::replay
