#!/usr/bin/env bash
# The installer under Wine: a silent install (/S) for the user alone puts the program, its
# Start-menu shortcut and its entry among the installed programs in place; the installed
# program starts, shows the wall and ends with 0; a silent uninstall takes the program, the
# shortcut and the entry away and leaves the player's settings.
#   tests/windows/installer_test.sh path/to/krelmo99-VERSION-setup.exe
# WINEPREFIX names the prefix of this test run.
set -uo pipefail
setup=$(realpath "${1:?usage: installer_test.sh path/to/setup.exe}")
uninstall_key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Krelmo99"
source "$(dirname "$0")/wine_lib.sh"

# The Unix path of a Windows folder variable (LOCALAPPDATA, APPDATA).
unix_folder() {
  run_wine "$work/folder.txt" cmd /c echo "%$1%" || fail "cmd could not tell %$1%"
  local path
  path=$(tail -1 "$work/folder.txt")
  "$wine" winepath -u "$path" 2>/dev/null | tr -d '\r'
}
key_exists() { run_wine "$work/key.txt" reg query "$1"; }

timeout 120 "$wineserver" -w || fail "Wine's programs had not ended after 120 s"
run_wine "$work/install.log" "$setup" /S || fail "the silent install ended with code $?: $(cat "$work/install.log")"
timeout 120 "$wineserver" -w || fail "Wine's programs had not ended after 120 s"
installed=$(unix_folder LOCALAPPDATA)/Programs/Krelmo99
shortcut="$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Krelmo '99.lnk"
[[ -f "$installed/krelmo99.exe" ]] || fail "no krelmo99.exe in $installed after the install"
[[ -f "$installed/uninstall.exe" ]] || fail "no uninstaller in $installed"
[[ -f "$shortcut" ]] || fail "no Start-menu shortcut $shortcut"
key_exists "$uninstall_key" || fail "no entry among the installed programs ($uninstall_key)"
grep -q "DisplayName.*Krelmo '99" "$work/key.txt" || fail "the entry has no name: $(cat "$work/key.txt")"
grep -q 'uninstall.exe' "$work/key.txt" || fail "the entry names no uninstaller: $(cat "$work/key.txt")"

# The installed program runs: its window shows the wall, and Alt+F4 ends it with 0, saving
# its settings anew.
run_wine "$work/delete.log" reg delete "$game_key" /f
"$wine" "$installed/krelmo99.exe" </dev/null >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
window=$(wait_for_window "Krelmo '99") || fail "the installed program showed no window"
eval "$(xdotool getwindowgeometry --shell "$window")" || fail "no geometry for window $window"
client_x=$((X + 3)) client_y=$((Y + HEIGHT - 3 - 436))
wait_for "the wall in the installed program's window" count_is_over FF00FF 0 60 634 10 3000
focus_window "$window"
xdotool key alt+F4
status=
for _ in $(seq 150); do
  kill -0 "$game_pid" 2>/dev/null || { status=0; wait "$game_pid" || status=$?; break; }
  sleep 0.1
done
[[ "$status" == 0 ]] || fail "the installed program did not end with 0 after Alt+F4 (${status:-still running})"
game_pid=
timeout 120 "$wineserver" -w || fail "Wine's programs had not ended after 120 s"
! grep -aq Unhandled "$work/game.err" || fail "the installed program crashed: $(grep -a Unhandled "$work/game.err")"
key_exists "$game_key" || fail "the installed program left no settings under $game_key"

# The silent uninstaller copies itself away and returns at once: the server says when it ends.
run_wine "$work/uninstall.log" "$installed/uninstall.exe" /S ||
  fail "the silent uninstall ended with code $?: $(cat "$work/uninstall.log")"
timeout 120 "$wineserver" -w || fail "Wine's programs had not ended after 120 s"
[[ ! -e "$installed/krelmo99.exe" ]] || fail "krelmo99.exe is still in $installed after the uninstall"
[[ ! -e "$shortcut" ]] || fail "the Start-menu shortcut is still there after the uninstall"
! key_exists "$uninstall_key" || fail "the entry among the installed programs is still there"
key_exists "$game_key" || fail "the uninstall took the player's settings ($game_key)"
echo "installer: $(basename "$setup") of $(stat -c %s "$setup") bytes installed, ran and uninstalled silently; the settings stayed"
