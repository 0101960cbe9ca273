#!/usr/bin/env bash
# The records across restarts of the built game under Xvfb: a game that reaches the high-score
# table, a name typed into the dialog and found on the title screen after a restart; a player
# count chosen in the menu that survives a restart; SIGTERM saving the settings and exiting 0.
# The settings file is read back as the game writes it (UTF-16) and checked by reg-check to be
# byte for byte the game's own form.
# Usage: records_e2e.sh path/to/krelmo99 path/to/reg-check
set -uo pipefail
game=$1 reg_check=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init

# A stored "Varnak" on the PC speaker whose table holds scores of -1: any score gets in, even
# one of 0. Run with no audio device that opens, the match is played silently to its end. Typed
# in UTF-8 without a byte-order mark, as by hand: the game reads it, and writes its own form.
write_settings '"NumPlayers"=dword:00000000' '"DefaultGame"=dword:00000001' \
  '"DefaultSound"=dword:00000001' '"UseMouse"=dword:00000001' \
  $(for n in 6 7 8 9 10; do echo "\"HSName$n\"=\"Old\" \"HSScore$n\"=dword:ffffffff"; done) >"$KRELMO_REGISTRY"

stored() { [[ "$(settings_text)" == *"$1"* ]]; }
as_written() {
  "$reg_check" --as-written "$KRELMO_REGISTRY" >/dev/null ||
    fail "the settings file is not as the game writes it: $(od -c "$KRELMO_REGISTRY" | head -5)"
}
varnak_names_ink() { take_shot && count C0C0C0 390 260 100 90; }

# Opens the Game menu by its title in the menu bar and walks it with the keyboard. The open
# menu covers the black strip above the wall under its title with its white. The menu closes
# as it posts its command: only then is the choice sure to come before what follows.
menu_open() { take_shot && (($(count FFFFFF 60 25 80 15) > 600)); }
game_menu() {
  xdotool mousemove $((client_x + 62)) $((client_y - 10)) click 1
  wait_for "the Game menu to open" menu_open
  xdotool key "$@"
  wait_for "the Game menu to close after $*" eval '! menu_open'
}

start_game
old_ink=$(varnak_names_ink)
focus_window "$window"

# Three players would make a long match: choose them after it, below.
new_match
# The paddle waits at the far left; serve again and again until the three balls are lost.
xdotool mousemove $((client_x + 30)) $((client_y + 414))
for _ in $(seq 600); do
  window_shown 'Congrats!' && break
  game_ended && fail "the game ended during the match"
  xdotool click 1
  sleep 0.2
done
[[ -n "$found" ]] || fail "no \"Congrats!\" dialog within 120 s of play"
focus_window "$found"
# "Player 1" is offered, selected: typing replaces it; Enter is OK.
xdotool type --delay 50 "Tester"
xdotool key Return
wait_for "the dialog to close after Enter" no_window 'Congrats!'
wait_for "the new name in the settings file" stored '"HSName6"="Tester"'

# Game > Players > 3 Players, from the keyboard once the menu is open.
focus_window "$window"
game_menu Down Down Down Right Down Down Return
quit_game
stored '"NumPlayers"=dword:00000002' || fail "3 Players was not stored at the exit: $(settings_text)"
as_written
echo "ok: high score and player count stored"

# Restarted: the name stands on the title screen, in the Varnak table.
start_game
new_ink=$(varnak_names_ink)
((new_ink > old_ink)) || fail "the Varnak names column shows no new name ($old_ink, then $new_ink silver pixels)"
echo "ok: the name shows after a restart"

# Game > Krelmo, then SIGTERM: the settings of this run are saved and the exit code is 0.
focus_window "$window"
game_menu Down Return
kill -TERM "$game_pid"
await_exit SIGTERM
stored '"DefaultGame"=dword:00000000' || fail "Krelmo was not stored at SIGTERM: $(settings_text)"
stored '"NumPlayers"=dword:00000002' || fail "the player count did not survive the restart"
stored '"HSName6"="Tester"' || fail "the high score was lost"
as_written
echo "records end-to-end: passed"
