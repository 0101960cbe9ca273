// Running a script on the real game: each command becomes the messages the front end would
// post, and the queue is emptied after every command, as the game's loop would.
#include "tools/sim/simulator.h"

#include <algorithm>
#include <cinttypes>
#include <type_traits>

#include "platform/whole_file.h"
#include "replay/store.h"
#include "resources/menu.h"
#include "tools/sim/png_writer.h"

namespace krelmo::sim {

namespace {

constexpr int kPointerY = 420;
constexpr std::uint32_t kStickCentre = 32768;

template <class>
constexpr bool kAlwaysFalse = false;

}  // namespace

Simulator::Simulator(const Options& options) : options_(options) {}

Simulator::~Simulator() {
  if (trace_) std::fclose(trace_);
}

bool Simulator::Begin() {
  if (!options_.tracePath.empty()) {
    trace_ = std::fopen(options_.tracePath.c_str(), "w");
    if (!trace_) {
      std::fprintf(stderr, "krelmo-sim: cannot write the trace to %s\n",
                   options_.tracePath.c_str());
      return false;
    }
    std::fputs("frame,step,ballX,ballY,ballDX,ballDY,paddleX,player,score,ballsLeft,stepDelay\n",
               trace_);
  }
  // The headless front end logs every port write; over millions of steps that log would
  // only grow, and nothing here reads it.
  host_.pc.RecordWritesTo(nullptr);
  host_.joystick.present = options_.joystick;
  host_.joystick.reading = {kStickCentre, kStickCentre, 0, 0};
  if (!options_.recordPath.empty()) recorder_.Attach(game_);
  game_.InitApplication();
  // Start-up seeds from the time of day; a run is repeatable unless the script says otherwise.
  game_.app.randomSeed = 1;
  host_.frameHost.onWait = [this] { OnWait(); };
  game_.engine.onStepEnd = [this] { OnStepEnd(); };
  Dispatch();
  return true;
}

bool Simulator::Run(const std::vector<ScriptLine>& script) {
  for (std::size_t i = 0; i < script.size() && !quit_ && !outputFailed_; ++i) {
    Execute(script[i]);
    // The answers written under a line are ready for the question that line raises.
    while (i + 1 < script.size() && std::holds_alternative<Answer>(script[i + 1].command)) {
      Execute(script[++i]);
    }
    Dispatch();
  }
  if (trace_ && std::fflush(trace_) != 0) outputFailed_ = true;
  if (!options_.recordPath.empty() && !recorded_) {
    std::fprintf(stderr, "krelmo-sim: no match ended, so no replay was written\n");
    outputFailed_ = true;
  }
  if (!options_.pngPath.empty() && !WriteScreenshot(options_.pngPath)) outputFailed_ = true;
  return !outputFailed_;
}

void Simulator::Dispatch() {
  while (!quit_ && !host_.queue.Empty()) {
    if (!game_.DispatchPending()) quit_ = true;
  }
  // The headless sound and dialogs keep what they were asked to play and show; nothing here
  // reads it, and over hours of matches it would only grow.
  host_.sound.plays.clear();
  host_.dialogs.shown.clear();
  host_.dialogs.highScoreDialogs.clear();
}

void Simulator::Execute(const ScriptLine& line) {
  auto& queue = host_.queue;
  std::visit(
      [&](const auto& command) {
        using T = std::decay_t<decltype(command)>;
        if constexpr (std::is_same_v<T, Seed>) {
          game_.app.randomSeed = command.value;
        } else if constexpr (std::is_same_v<T, Variant>) {
          ChooseMenuItem(line.number,
                         command.varnak ? resources::IDM_VARNAK : resources::IDM_KRELMO,
                         command.varnak ? "Varnak" : "Krelmo");
        } else if constexpr (std::is_same_v<T, Players>) {
          static const char* const kTexts[] = {"1 Player", "2 Players", "3 Players", "4 Players"};
          ChooseMenuItem(line.number, resources::IDM_PLAYERS_1 + command.count - 1,
                         kTexts[command.count - 1]);
        } else if constexpr (std::is_same_v<T, Start>) {
          PostKey(VK_F2, 0x3C);
        } else if constexpr (std::is_same_v<T, PressKey>) {
          switch (command.key) {
            case Key::kF2:
              PostKey(VK_F2, 0x3C);
              break;
            case Key::kF3:
              PostKey(VK_F3, 0x3D);
              break;
            case Key::kEsc:
              PostKey(VK_ESCAPE, 0x01);
              break;
          }
        } else if constexpr (std::is_same_v<T, Serve>) {
          const bool waiting = game_.engine.state.ballY >= engine::kBallOutOfPlay;
          queue.PostMessage(WM_LBUTTONDOWN, 0, MakePointLParam(mouseX_, kPointerY));
          Dispatch();
          if (waiting && game_.engine.state.ballY < engine::kBallOutOfPlay) ++serves_;
        } else if constexpr (std::is_same_v<T, Answer>) {
          host_.dialogs.answers.push_back(command.yes ? platform::IDYES : platform::IDNO);
        } else if constexpr (std::is_same_v<T, Mouse>) {
          const bool held = !game_.engine.match.cursorVisible;
          mouseX_ = held ? std::clamp(command.x, app::kPointerStripLeft, app::kPointerStripRight)
                         : std::clamp(command.x, 0, platform::kClientWidth - 1);
          queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(mouseX_, kPointerY));
        } else if constexpr (std::is_same_v<T, Autopilot>) {
          autopilot_ = command.offset;
        } else if constexpr (std::is_same_v<T, Frames>) {
          RunFrames(command.count);
        } else if constexpr (std::is_same_v<T, Stick>) {
          host_.joystick.reading = {command.x, kStickCentre, 0, command.buttons};
        } else if constexpr (std::is_same_v<T, MenuChoice>) {
          ChooseMenuItem(line.number, command.id, command.text.c_str());
        } else if constexpr (std::is_same_v<T, Name>) {
          // For the high-score entry dialogs to come, which take them in order.
          host_.dialogs.namesToType.push_back(command.text);
        } else {
          static_assert(kAlwaysFalse<T>, "every command is handled");
        }
      },
      line.command);
}

void Simulator::ChooseMenuItem(int line, int id, const char* text) {
  if (host_.menu.IsGrayed(id)) {
    std::fprintf(stderr, "krelmo-sim: line %d: \"%s\" is greyed in the menu; not chosen\n", line,
                 text);
    return;
  }
  host_.queue.PostMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void Simulator::PostKey(WPARAM key, std::uint32_t scanCode) {
  host_.queue.PostMessage(WM_KEYDOWN, key, MakeKeyLParam(scanCode, false, false, false));
}

void Simulator::RunFrames(std::int64_t count) {
  for (std::int64_t i = 0; i < count && !quit_ && !outputFailed_; ++i) {
    ++frame_;
    step_ = 0;
    movePostedThisStep_ = false;  // a frame cut short by a right click ends no step
    // The joystick's 100 ms poll runs between frames, as the play timer's ticks do.
    auto& stick = host_.joystick;
    if (stick.pollFunction) {
      stick.pollFunction(stick.pollContext);
      Dispatch();
    }
    host_.queue.PostTimer(app::kPlayTimerId);
    Dispatch();
    if (options_.pngEvery > 0 && frame_ % options_.pngEvery == 0 && !options_.pngPath.empty()) {
      std::string path = options_.pngPath;
      const std::size_t dot = path.rfind('.');
      const std::size_t slash = path.find_last_of('/');
      char number[32];
      std::snprintf(number, sizeof number, "-%06" PRId64, frame_);
      if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        path.insert(dot, number);
      } else {
        path += number;
        path += ".png";
      }
      if (!WriteScreenshot(path)) outputFailed_ = true;
    }
  }
}

void Simulator::OnWait() {
  // One move before each ball step, so that the step's own input takes it.
  if (!autopilot_ || movePostedThisStep_) return;
  movePostedThisStep_ = true;
  const auto& s = game_.engine.state;
  mouseX_ = std::clamp(s.ballX - engine::kBallOverPaddleMiddle + *autopilot_,
                       app::kPointerStripLeft, app::kPointerStripRight);
  host_.queue.PostMessage(WM_MOUSEMOVE, 0, MakePointLParam(mouseX_, kPointerY));
}

void Simulator::OnStepEnd() {
  movePostedThisStep_ = false;
  ++step_;
  ++steps_;
  const auto& s = game_.engine.state;
  const std::uint32_t player = s.currentPlayer % engine::kPlayerSlots;
  if (s.ballY >= engine::kBallOutOfPlay) ++ballsLost_;
  if (!trace_) return;
  if (std::fprintf(trace_, "%" PRId64 ",%d,%d,%d,%d,%d,%d,%u,%d,%d,%d\n", frame_, step_, s.ballX,
                   s.ballY, s.ballDX, s.ballDY, s.paddleX, s.currentPlayer, s.playerScore[player],
                   s.ballsLeft[player], s.stepDelay) < 0) {
    outputFailed_ = true;
  }
}

void Simulator::Recorded(const std::string& journal) {
  // The first match played to its end (or to the quit) is the one kept.
  if (recorded_) return;
  recorded_ = true;
  std::string error;
  const bool packed = options_.recordPath.ends_with(".gz");
  if (!platform::WriteFileAtomically(options_.recordPath,
                                     packed ? replay::Compress(journal) : journal, error)) {
    std::fprintf(stderr, "krelmo-sim: cannot write the replay: %s\n", error.c_str());
    outputFailed_ = true;
  }
}

bool Simulator::WriteScreenshot(const std::string& path) {
  const int width = options_.fullSurface ? platform::Surface::kWidth : platform::kClientWidth;
  const int height = options_.fullSurface ? platform::Surface::kHeight : platform::kClientHeight;
  if (WritePng(path, host_.surface.Pixels(), platform::Surface::kWidth, width, height)) {
    return true;
  }
  std::fprintf(stderr, "krelmo-sim: cannot write %s\n", path.c_str());
  return false;
}

void Simulator::PrintSummary(std::FILE* out) const {
  const auto& e = game_.engine;
  const auto& s = e.state;
  const char* match = e.match.gameActive ? (e.match.paused ? "paused" : "running") : "not running";
  std::fprintf(out, "variant: %s\n",
               e.settings.gameVariant == engine::Variant::kVarnak ? "Varnak" : "Krelmo");
  std::fprintf(out, "players: %u\n", e.settings.numPlayers + 1);
  std::fprintf(out, "match: %s\n", match);
  std::fprintf(out, "frames: %" PRId64 "\n", frame_);
  std::fprintf(out, "ball steps: %" PRId64 "\n", steps_);
  std::fprintf(out, "turns (serves): %" PRId64 "\n", serves_);
  std::fprintf(out, "balls lost: %" PRId64 "\n", ballsLost_);
  std::fprintf(out, "step delay: %d\n", s.stepDelay);
  const std::uint32_t players = (e.settings.numPlayers % engine::kPlayerSlots) + 1;
  for (std::uint32_t p = 0; p < players; ++p) {
    std::fprintf(out, "player %u: score %d, balls %d%s\n", p + 1, s.playerScore[p], s.ballsLeft[p],
                 p == s.currentPlayer && e.match.gameActive ? " (up)" : "");
  }
}

}  // namespace krelmo::sim
