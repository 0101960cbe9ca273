// A game on the headless front end for the tests, and the input and the probes of the wall
// that they share.
#include "tests/support/test_game.h"

#include <string>

#include "engine/geometry.h"
#include "engine/palette.h"
#include "records/registry_values.h"

namespace krelmo::testing {

TestGame::TestGame() {
  game.timer.SetReportSink([](std::string_view) {});
  // Texts in the block font, whose cells the tests can measure.
  host.surface.SetFont(nullptr);
}

StartedGame::StartedGame() {
  game.InitApplication();
}

void Press(app::Game& game, WPARAM key) {
  game.platform.queue.PostMessage(WM_KEYDOWN, key, kFirstPress);
  game.DispatchPending();
}

void Choose(app::Game& game, int commandId) {
  game.platform.queue.PostMessage(WM_COMMAND, static_cast<WPARAM>(commandId));
  game.DispatchPending();
}

void Frames(app::Game& game, int count) {
  for (int i = 0; i < count; ++i) {
    game.platform.queue.PostTimer(app::kPlayTimerId);
    game.DispatchPending();
  }
}

void RemoveBrick(platform::Surface& dc, int row, int column) {
  using namespace engine;
  dc.SelectObject(blackBrush);
  dc.SelectObject(blackPen);
  dc.Rectangle(CellLeft(column), CellTop(row), CellLeft(column + 1), CellTop(row + 1));
}

bool BrickStands(const platform::Surface& dc, int row, int column) {
  return dc.GetPixel(engine::SavePointX(column), engine::SamplePointY(row)) != engine::kBlack;
}

GameKey::GameKey(platform::Registry& r) : registry(r) {
  registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, std::string(records::kGameKey), 0, "", 0,
                           platform::KEY_ALL_ACCESS, nullptr, &key, nullptr);
}

GameKey::~GameKey() {
  registry.RegCloseKey(key);
}

std::uint32_t GameKey::Dword(std::string_view name) {
  return records::ReadDword(registry, key, name, 99);
}

void GameKey::Set(std::string_view name, std::uint32_t value) {
  records::WriteDword(registry, key, name, value);
}

void GameKey::SetName(std::string_view name, std::string_view text) {
  records::WriteName(registry, key, name, text);
}

}  // namespace krelmo::testing
