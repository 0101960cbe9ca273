// The title and high-score screen: drawn as text over whatever the window shows.
#include "records/title_screen.h"

#include "engine/palette.h"

namespace krelmo::records {

void DrawTitleScreen(engine::Engine& engine) {
  // The high-score tables join the title once the records are kept.
  auto& dc = engine.dc;
  dc.SetTextColor(engine::kWhite);
  dc.SetBkColor(engine::kBlack);
  if (engine.state.playerScore[0] > 0) {
    dc.TextOutA(280, 190, "Game Over");
    return;
  }
  dc.SetTextColor(engine::kYellow);
  dc.TextOutA(279, 165, "Krelmo '99");
  dc.TextOutA(260, 180, "By Tenvarre");
}

}  // namespace krelmo::records
