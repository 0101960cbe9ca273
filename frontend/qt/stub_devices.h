// Stand-ins for the devices the Qt front end does not drive yet: no audio output, no
// joystick, and settings kept in memory for the run.
#pragma once

#include <map>
#include <string>

#include "platform/joystick.h"
#include "platform/registry.h"
#include "platform/sound.h"

namespace krelmo::qt {

// Nothing can be played: the game carries on silently and greys "Digital Audio".
class SilentSound final : public platform::SoundOutput {
 public:
  bool PlaySound(int, std::uint32_t) override { return false; }
};

// No joystick is attached: the game forces the mouse and greys "Joystick".
class NoJoystick final : public platform::JoystickDevice {
 public:
  bool GetDevCaps() override { return false; }
  bool GetPos(platform::JoystickReading&) override { return false; }
  std::uint32_t StartPoll(std::uint32_t, void (*)(void*), void*) override { return 0; }
  void StopPoll(std::uint32_t) override {}
};

// Settings that last for one run only.
class InMemoryRegistry final : public platform::RegistryStore {
 public:
  bool CreateKey(std::string_view key) override;
  bool KeyExists(std::string_view key) const override;
  std::optional<std::string> GetString(std::string_view key, std::string_view name) const override;
  std::optional<std::uint32_t> GetDword(std::string_view key, std::string_view name) const override;
  bool SetString(std::string_view key, std::string_view name, std::string_view value) override;
  bool SetDword(std::string_view key, std::string_view name, std::uint32_t value) override;

 private:
  struct Value {
    std::optional<std::string> text;  // REG_SZ when set, else REG_DWORD
    std::uint32_t number = 0;
  };
  const Value* Find(std::string_view key, std::string_view name) const;

  std::map<std::string, std::map<std::string, Value, std::less<>>, std::less<>> keys_;
};

}  // namespace krelmo::qt
