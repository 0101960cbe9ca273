// The title and high-score screen: drawn as text over whatever the window shows.
#include "engine/palette.h"
#include "records/records.h"

namespace krelmo::records {

namespace {

struct TableColumns {
  engine::Variant variant;
  const char* heading;
  int headingX;
  int namesLeft, namesRight;
  int scoresLeft, scoresRight;
};
constexpr TableColumns kTables[2] = {
    {engine::Variant::kKrelmo, "High Scores - Krelmo", 80, 50, 290, 0, 250},
    {engine::Variant::kVarnak, "High Scores - Varnak", 420, 390, 640, 490, 590}};
constexpr int kTableTop = 260;
constexpr int kTableBottom = 470;

}  // namespace

void DrawTitleScreen(engine::Engine& engine) {
  auto& dc = engine.dc;
  dc.SetTextColor(engine::kWhite);
  dc.SetBkColor(engine::kBlack);
  if (engine.state.playerScore[0] > 0) {
    dc.TextOutA(280, 190, "Game Over");
  } else {
    dc.SetTextColor(engine::kYellow);
    dc.TextOutA(279, 165, "Krelmo '99");
    dc.TextOutA(260, 180, "By Tenvarre");
  }
  // Read afresh each time: the registry is the tables' only home.
  for (const TableColumns& t : kTables) {
    const TableText table = LoadHighScoreTable(engine.platform.registry, t.variant);
    dc.SetTextColor(engine::kYellow);
    dc.TextOutA(t.headingX, 240, t.heading);
    dc.SetTextColor(engine::kSilver);
    dc.DrawTextA(table.names, t.namesLeft, kTableTop, t.namesRight, kTableBottom,
                 platform::Surface::Align::kLeft);
    dc.DrawTextA(table.scores, t.scoresLeft, kTableTop, t.scoresRight, kTableBottom,
                 platform::Surface::Align::kRight);
  }
}

}  // namespace krelmo::records
