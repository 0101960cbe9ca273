// The page's menu bar: built from the game's menu table and kept in step with the menu
// model's state words, checks and greyed items alike.
#pragma once

#include "platform/menu_model.h"

namespace krelmo::web {

// Builds the bar once and follows `menu` until it goes.
class WebMenuBar {
 public:
  explicit WebMenuBar(platform::MenuModel& menu);
  ~WebMenuBar();
  WebMenuBar(const WebMenuBar&) = delete;
  WebMenuBar& operator=(const WebMenuBar&) = delete;

 private:
  platform::MenuModel& menu_;
};

}  // namespace krelmo::web
