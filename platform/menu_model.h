// The state words of the main menu's items, kept by command id: 0 enabled, 3 greyed,
// 8 checked (a greyed item may keep its check). The front end shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

namespace krelmo::platform {

constexpr std::uint32_t MFS_ENABLED = 0x0;
constexpr std::uint32_t MFS_GRAYED = 0x3;
constexpr std::uint32_t MFS_CHECKED = 0x8;

// Called on the UI thread only.
class MenuModel {
 public:
  using Listener = std::function<void(int id, std::uint32_t state)>;

  void AddItem(int id, std::uint32_t state) { states_[id] = state; }
  bool HasItem(int id) const { return states_.count(id) != 0; }
  // 0 for an id the menu does not hold.
  std::uint32_t GetState(int id) const;
  // Ignored for an id the menu does not hold.
  void SetState(int id, std::uint32_t state);
  bool IsGrayed(int id) const { return (GetState(id) & MFS_GRAYED) != 0; }

  void SetListener(Listener listener) { listener_ = std::move(listener); }
  const std::map<int, std::uint32_t>& States() const { return states_; }

 private:
  std::map<int, std::uint32_t> states_;
  Listener listener_;
};

}  // namespace krelmo::platform
