#include "platform/menu_model.h"

namespace krelmo::platform {

std::uint32_t MenuModel::GetState(int id) const {
  const auto it = states_.find(id);
  return it == states_.end() ? 0 : it->second;
}

void MenuModel::SetState(int id, std::uint32_t state) {
  const auto it = states_.find(id);
  if (it == states_.end()) return;
  it->second = state;
  if (listener_) listener_(id, state);
}

}  // namespace krelmo::platform
