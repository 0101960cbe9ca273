// Playing a replay file on the headless front end and telling how it went.
#include "tools/sim/replay_run.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "frontend/headless/headless_platform.h"
#include "replay/playback.h"
#include "replay/store.h"
#include "tools/sim/png_writer.h"

namespace krelmo::sim {

int PlayReplay(const std::string& path, const std::string& pngPath) {
  std::string why;
  auto journal = replay::ReadReplay(path, why);
  if (!journal) {
    std::fprintf(stderr, "krelmo-sim: %s\n", why.c_str());
    return replay::kExitReplayUnreadable;
  }

  headless::HeadlessPlatform host;
  host.pc.RecordWritesTo(nullptr);
  replay::Playback playback(host.Get(), std::move(*journal), replay::Pace::kAtOnce);
  std::int64_t steps = 0;
  playback.Game().engine.onStepEnd = [&steps] { ++steps; };
  const auto start = std::chrono::steady_clock::now();
  playback.Start();
  const replay::Playback::Outcome outcome = playback.Run();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const auto& e = playback.Game().engine;
  std::printf("variant: %s\n",
              e.settings.gameVariant == engine::Variant::kVarnak ? "Varnak" : "Krelmo");
  std::printf("players: %u\n", e.settings.numPlayers + 1);
  std::printf("frames run: %" PRIu64 "\n", e.framesRun);
  std::printf("ball steps: %" PRId64 "\n", steps);
  const replay::Ending& reached = playback.Reached();
  const replay::Ending& recorded = playback.Recorded();
  for (std::uint32_t p = 0; p <= e.settings.numPlayers % engine::kPlayerSlots; ++p) {
    std::printf("player %u: score %d, balls %d (recorded: score %d, balls %d)\n", p + 1,
                e.state.playerScore[p], e.state.ballsLeft[p], recorded.scores[p],
                recorded.balls[p]);
  }
  if (outcome != replay::Playback::Outcome::kParted) {
    std::printf("picture: %016" PRIX64 " (recorded: %016" PRIX64 ")\n", reached.surface,
                recorded.surface);
  }
  std::printf("playback: %" PRId64 " ball steps in %.3f s (%.0f steps a second)\n", steps, seconds,
              seconds > 0 ? static_cast<double>(steps) / seconds : 0.0);
  if (!pngPath.empty() && !WritePng(pngPath, host.surface.Pixels(), platform::Surface::kWidth,
                                    platform::kClientWidth, platform::kClientHeight)) {
    std::fprintf(stderr, "krelmo-sim: cannot write %s\n", pngPath.c_str());
  }
  if (outcome == replay::Playback::Outcome::kMatched) {
    std::printf("result: as recorded\n");
    return 0;
  }
  std::printf("result: differs\n");
  std::fprintf(stderr, "krelmo-sim: %s: the playback differs from the recording: %s\n",
               path.c_str(), playback.Why().c_str());
  return replay::kExitReplayDiffers;
}

}  // namespace krelmo::sim
