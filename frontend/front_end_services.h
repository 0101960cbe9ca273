// The services that every front end on a real clock builds alike, before its own pieces.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "platform/audio_mixer.h"
#include "platform/audio_power.h"
#include "platform/clock.h"
#include "platform/menu_model.h"
#include "platform/message_queue.h"
#include "platform/pc_hardware.h"
#include "platform/present_cadence.h"
#include "platform/surface.h"
#include "resources/fonts/game_font.h"
#include "resources/menu.h"
#include "resources/waves.h"

namespace krelmo::frontend {

// A front end's platform derives from these, so that its own pieces (the window, the frame
// host, the dialogs, the audio output) are built after them and given them, and go first.
class FrontEndServices {
 public:
  platform::SteadyClock clock;
  // Drawn with the game's own glyphs: text is drawn pixel for pixel alike everywhere.
  platform::Surface surface;
  platform::MessageQueue queue;
  platform::PcHardware pc{clock};
  // In the states of the game's menu table.
  platform::MenuModel menu;
  // Presents at most once a display refresh, inside frames and between them alike.
  platform::PresentCadence presentCadence{clock};
  // The wave and speaker voices; without an audio output at start-up every recording fails to
  // play and the speaker is not connected.
  platform::AudioMixer sound{resources::WaveResource, clock};
  // Why no audio output opened at start-up (empty when one did).
  std::string audioError;
  // Whether a match runs, for the audio output's policy: set by whoever builds the game.
  // Unset, no match runs.
  std::function<bool()> matchRunning;

 protected:
  FrontEndServices() {
    surface.SetFont(&resources::kGameFont);
    resources::LoadMainMenu(menu);
  }

  // Opens the audio output through `audio` and connects the emulated speaker to it; an opening
  // after start-up that fails is told once on the error stream. False, with audioError set,
  // when none opened.
  bool StartAudio(platform::AudioPower& audio) {
    if (!audio.Start(audioError)) return false;
    pc.SetSpeakerSink(&audio);
    audio.onReopenFailed = [](const std::string& error) {
      std::fprintf(stderr,
                   "krelmo99: the audio device did not open again (%s); playing on silently\n",
                   error.c_str());
    };
    return true;
  }
  // The audio output's policy, for the front end's timer every AudioPower::kCheckPeriodMs.
  void CheckAudio(platform::AudioPower& audio) { audio.Check(matchRunning && matchRunning()); }
};

}  // namespace krelmo::frontend
