#!/usr/bin/env bash
# The menus and the help window in the built game under Xvfb, driven by real input: Esc out
# of a menu and its submenu leaves the keyboard with the game (F2 starts a match); in the
# paused match, Help > Contents shows the help above the game, clear of its menu bar; Esc
# closes it, and back in the game F3 resumes.
# Usage: menus_and_help_e2e.sh path/to/krelmo99
set -uo pipefail
game=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init

start_game
focus_window "$window"
menu_bar_y=$((client_y - 10))

# A menu shows by covering what the game drew under it: no pixel of that colour is left in a
# small client rectangle at x, y.
menu_covers() { take_shot && (($(count "$1" "$2" "$3" 30 6) == 0)); }
menu_gone() { ! menu_covers "$@"; }

# Game > Players, both over the top row of bricks (magenta), then Esc twice.
xdotool mousemove $((client_x + 60)) $menu_bar_y click 1
wait_for "the Game menu" menu_covers FF00FF 80 62
xdotool mousemove $((client_x + 90)) $((client_y + 56))
wait_for "the Players submenu" menu_covers FF00FF 240 62
xdotool key Escape
wait_for "the submenu to close on Esc" menu_gone FF00FF 240 62
xdotool key Escape
wait_for "the menu to close on Esc" menu_gone FF00FF 80 62

# The keyboard is the game's again: F2 starts a match and its red scoreboard shows.
new_match "the keyboard stayed with the menu bar"
pause_text=(220 220 190 16)
xdotool key F3
wait_for "\"Paused - <F3> to resume\" after F3" count_is_over FFFFFF "${pause_text[@]}" 50

# Help > Contents, the first item of the Help menu.
xdotool mousemove $((client_x + 108)) $menu_bar_y click 1
wait_for "the Help menu" menu_covers 000000 170 24
xdotool mousemove $((client_x + 130)) $((client_y + 12)) click 1
help=$(wait_for_window "Krelmo '99 Help") || fail "no help window after Help > Contents"
eval "$(xdotool getwindowgeometry --shell "$help" | sed 's/^/help_/')"
((help_Y >= client_y)) || fail "the help window (top $help_Y) covers the menu bar (bottom $client_y)"
# Seen above the game: its white page, with the black heading text on it.
help_seen() {
  take_shot
  local page=$((help_X - client_x)) top=$((help_Y - client_y))
  (($(count FFFFFF "$page" "$top" "$help_WIDTH" "$help_HEIGHT") > help_WIDTH * help_HEIGHT / 2)) &&
    (($(count 000000 "$page" "$top" "$help_WIDTH" 60) > 50))
}
wait_for "the help's text on the screen" help_seen

focus_window "$help"
xdotool key Escape
wait_for "the help to close on Esc" no_window "Krelmo '99 Help"

# Back to the game, as a player clicking it would: F3 resumes the paused match.
focus_window "$window"
xdotool key F3
wait_for "the pause text to go after F3" count_is_zero FFFFFF "${pause_text[@]}"

quit_game
echo "menus and help end-to-end: passed"
