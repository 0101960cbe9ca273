// The four settings in the registry: loaded once at start-up through the menu groups, saved
// once at shutdown, each in the form the game has always stored it.
#include <algorithm>
#include <cstdio>

#include "records/records.h"
#include "records/registry_values.h"

namespace krelmo::records {

using namespace platform;
using engine::Controller;
using engine::SoundMode;
using engine::Variant;

namespace {

struct OpenedKey {
  HKEY parent = 0;
  HKEY key = 0;
  bool created = false;
  bool opened = false;
};

// "SOFTWARE", then the game's key below it, created when missing.
OpenedKey OpenSettingsKey(RegistryStore& registry) {
  OpenedKey k;
  registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSoftwareKey, 0, KEY_ALL_ACCESS, &k.parent);
  std::uint32_t disposition = 0;
  k.opened =
      registry.RegCreateKeyExA(k.parent, kGameSubKey, 0, "", REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, &k.key, &disposition) == ERROR_SUCCESS;
  k.created = disposition == REG_CREATED_NEW_KEY;
  return k;
}

// Closing writes the file; both closes are tried whatever the first one gives.
bool CloseSettingsKey(RegistryStore& registry, const OpenedKey& k) {
  const bool keyClosed = registry.RegCloseKey(k.key) == ERROR_SUCCESS || !k.opened;
  const bool parentClosed = registry.RegCloseKey(k.parent) == ERROR_SUCCESS;
  return keyClosed && parentClosed;
}

void ReportUnsaved(const RegistryStore& registry) {
  std::fprintf(stderr, "krelmo99: the settings could not be saved: %s\n",
               registry.WriteError().c_str());
}

}  // namespace

void LoadSettings(engine::Engine& engine, RecordsHooks& hooks, bool waveAvailable) {
  RegistryStore& registry = engine.platform.registry;
  auto& settings = engine.settings;
  const OpenedKey k = OpenSettingsKey(registry);
  // A key that can be neither opened nor created is taken as a first run: every group gets
  // its one selection, and the writes fail quietly.
  if (k.created || !k.opened) {
    const SoundMode sound = waveAvailable ? SoundMode::kDigital : SoundMode::kSpeaker;
    hooks.SelectVariant(Variant::kKrelmo);
    hooks.SelectPlayers(0);
    hooks.SelectMouseWithoutJoystick();
    hooks.SelectSound(sound);
    WriteDword(registry, k.key, "NumPlayers", settings.numPlayers);
    WriteDword(registry, k.key, "DefaultGame", 0);
    WriteDword(registry, k.key, "DefaultSound", static_cast<std::uint32_t>(sound));
    WriteDword(registry, k.key, "UseMouse", settings.useMouse ? 1 : 0);
    const bool reset = ResetHighScores(engine, hooks, false);
    if (!CloseSettingsKey(registry, k) || !reset) ReportUnsaved(registry);
    return;
  }

  // Any larger number of players is four.
  const std::uint32_t players = ReadDword(registry, k.key, "NumPlayers", 0);
  hooks.SelectPlayers(std::min<std::uint32_t>(players, engine::kPlayerSlots - 1));
  hooks.SelectVariant(ReadDword(registry, k.key, "DefaultGame", 0) == 0 ? Variant::kKrelmo
                                                                        : Variant::kVarnak);
  // A number of no sound mode leaves the group as it was.
  const std::uint32_t sound = ReadDword(registry, k.key, "DefaultSound", 0);
  if (sound <= static_cast<std::uint32_t>(SoundMode::kDigital)) {
    hooks.SelectSound(static_cast<SoundMode>(sound));
  }
  // A missing value leaves the controller as the program starts, at 0: the joystick.
  settings.useMouse = ReadDword(registry, k.key, "UseMouse", 0) != 0;
  hooks.SelectController(settings.useMouse ? Controller::kMouse : Controller::kJoystick);
  CloseSettingsKey(registry, k);
}

bool SaveSettings(engine::Engine& engine) {
  RegistryStore& registry = engine.platform.registry;
  const OpenedKey k = OpenSettingsKey(registry);
  WriteSettings(registry, k.key, engine.settings);
  if (CloseSettingsKey(registry, k)) return true;
  ReportUnsaved(registry);
  return false;
}

void WriteSettings(RegistryStore& registry, HKEY key, const engine::Settings& settings) {
  WriteDword(registry, key, "NumPlayers", settings.numPlayers);
  WriteDword(registry, key, "DefaultGame", static_cast<std::uint32_t>(settings.gameVariant));
  WriteDword(registry, key, "UseMouse", settings.useMouse ? 1 : 0);
  WriteDword(registry, key, "DefaultSound",
             static_cast<std::uint32_t>(engine::SoundModeOf(settings)));
}

}  // namespace krelmo::records
