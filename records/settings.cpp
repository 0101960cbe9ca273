// The four settings in the registry: loaded once at start-up through the menu groups, saved
// once at shutdown, each in the form the game has always stored it.
#include <cstdio>

#include "records/records.h"
#include "records/registry_values.h"
#include "resources/menu.h"

namespace krelmo::records {

using namespace platform;
using namespace resources;

namespace {

struct OpenedKey {
  HKEY parent = 0;
  HKEY key = 0;
  bool created = false;
  bool opened = false;
};

// "SOFTWARE", then the game's key below it, created when missing.
OpenedKey OpenSettingsKey(Registry& registry) {
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
bool CloseSettingsKey(Registry& registry, const OpenedKey& k) {
  const bool keyClosed = registry.RegCloseKey(k.key) == ERROR_SUCCESS || !k.opened;
  const bool parentClosed = registry.RegCloseKey(k.parent) == ERROR_SUCCESS;
  return keyClosed && parentClosed;
}

void ReportUnsaved(const Registry& registry) {
  std::fprintf(stderr, "krelmo99: the settings could not be saved: %s\n",
               registry.WriteError().c_str());
}

}  // namespace

void LoadSettings(engine::Engine& engine, RecordsHooks& hooks, bool waveAvailable) {
  Registry& registry = engine.platform.registry;
  auto& settings = engine.settings;
  const OpenedKey k = OpenSettingsKey(registry);
  // A key that can be neither opened nor created is taken as a first run: every group gets
  // its one selection, and the writes fail quietly.
  if (k.created || !k.opened) {
    hooks.SelectVariant(IDM_KRELMO);
    hooks.SelectPlayers(IDM_PLAYERS_1);
    hooks.SelectController(0);
    hooks.SelectSound(waveAvailable ? IDM_DIGITAL_AUDIO : IDM_PC_SPEAKER);
    WriteDword(registry, k.key, "NumPlayers", settings.numPlayers);
    WriteDword(registry, k.key, "DefaultGame", 0);
    WriteDword(registry, k.key, "DefaultSound", waveAvailable ? 2 : 1);
    WriteDword(registry, k.key, "UseMouse", settings.useMouse ? 1 : 0);
    const bool reset = ResetHighScores(engine, hooks, false);
    if (!CloseSettingsKey(registry, k) || !reset) ReportUnsaved(registry);
    return;
  }

  const std::uint32_t players = ReadDword(registry, k.key, "NumPlayers", 0);
  hooks.SelectPlayers(players == 0   ? IDM_PLAYERS_1
                      : players == 1 ? IDM_PLAYERS_2
                      : players == 2 ? IDM_PLAYERS_3
                                     : IDM_PLAYERS_4);
  hooks.SelectVariant(ReadDword(registry, k.key, "DefaultGame", 0) == 0 ? IDM_KRELMO : IDM_VARNAK);
  switch (ReadDword(registry, k.key, "DefaultSound", 0)) {
    case 0:
      hooks.SelectSound(IDM_NO_SOUND);
      break;
    case 1:
      hooks.SelectSound(IDM_PC_SPEAKER);
      break;
    case 2:
      hooks.SelectSound(IDM_DIGITAL_AUDIO);
      break;
    default:
      break;  // no sound mode: the group stays as it was
  }
  // A missing value leaves the controller as the program starts, at 0: the joystick.
  settings.useMouse = ReadDword(registry, k.key, "UseMouse", 0) != 0;
  hooks.SelectController(settings.useMouse ? IDM_MOUSE : IDM_JOYSTICK);
  CloseSettingsKey(registry, k);
}

bool SaveSettings(engine::Engine& engine) {
  Registry& registry = engine.platform.registry;
  const OpenedKey k = OpenSettingsKey(registry);
  WriteSettings(registry, k.key, engine.settings);
  if (CloseSettingsKey(registry, k)) return true;
  ReportUnsaved(registry);
  return false;
}

void WriteSettings(Registry& registry, HKEY key, const engine::Settings& settings) {
  WriteDword(registry, key, "NumPlayers", settings.numPlayers);
  WriteDword(registry, key, "DefaultGame", settings.gameVariant);
  WriteDword(registry, key, "UseMouse", settings.useMouse ? 1 : 0);
  WriteDword(registry, key, "DefaultSound",
             !settings.soundOn        ? 0
             : !settings.digitalSound ? 1
                                      : 2);
}

}  // namespace krelmo::records
