// Everything the game's logic reaches of the machine, gathered in one place. A front end
// (Qt, or the headless one of the tests and the simulator) builds one and hands it over.
#pragma once

#include "platform/dialogs.h"
#include "platform/frame_host.h"
#include "platform/joystick.h"
#include "platform/menu_model.h"
#include "platform/message_queue.h"
#include "platform/pc_hardware.h"
#include "platform/registry.h"
#include "platform/sound.h"
#include "platform/surface.h"
#include "platform/window_system.h"

namespace krelmo::platform {

struct Platform {
  Surface& surface;
  MessageQueue& queue;
  PcHardware& pc;
  FrameHost& frameHost;
  WindowSystem& window;
  Dialogs& dialogs;
  MenuModel& menu;
  SoundOutput& sound;
  JoystickDevice& joystick;
  RegistryStore& registry;
};

}  // namespace krelmo::platform
