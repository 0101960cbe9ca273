// The headless simulator: the real game on the headless front end, driven by a script of
// inputs, writing a trace of every ball step, screenshots and a summary of the outcome.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/game.h"
#include "frontend/headless/headless_platform.h"
#include "replay/recorder.h"
#include "tools/sim/script.h"

namespace krelmo::sim {

struct Options {
  std::string tracePath;  // empty: no trace
  std::string pngPath;    // empty: no screenshot
  std::int64_t pngEvery = 0;
  bool fullSurface = false;  // 640 x 480 instead of the 634 x 436 client area
  bool summary = false;
  std::string recordPath;  // empty: no replay written
  bool joystick = false;   // a joystick attached from the start
};

class Simulator {
 public:
  explicit Simulator(const Options& options);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Opens the outputs and starts the game; false (with a message on stderr) when an output
  // cannot be opened.
  bool Begin();
  // Plays the script; false when an output could not be written.
  bool Run(const std::vector<ScriptLine>& script);
  void PrintSummary(std::FILE* out) const;

 private:
  void Execute(const ScriptLine& line);
  void Dispatch();
  void ChooseMenuItem(int line, int id, const char* text);
  void PostKey(WPARAM key, std::uint32_t scanCode);
  void RunFrames(std::int64_t count);
  void OnWait();
  void OnStepEnd();
  bool WriteScreenshot(const std::string& path);
  void Recorded(const std::string& journal);

  Options options_;
  headless::HeadlessPlatform host_;
  // Attached only when a replay is asked for.
  replay::Recorder recorder_{host_.Get(), [this](std::string journal) { Recorded(journal); }};
  app::Game game_{recorder_.Wrapped()};
  bool recorded_ = false;
  std::FILE* trace_ = nullptr;
  bool outputFailed_ = false;
  bool quit_ = false;

  int mouseX_ = 320;
  std::optional<int> autopilot_;
  bool movePostedThisStep_ = false;

  std::int64_t frame_ = 0;  // timer ticks posted so far
  int step_ = 0;            // ball steps of the current frame
  std::int64_t steps_ = 0;
  std::int64_t serves_ = 0;
  std::int64_t ballsLost_ = 0;
};

}  // namespace krelmo::sim
