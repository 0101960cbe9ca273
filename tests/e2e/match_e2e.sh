#!/usr/bin/env bash
# A real match in the built game under Xvfb, driven by real input: start with F2, move the
# paddle, serve, watch the ball move, pause with F3, abort with Esc and Yes, quit.
# Usage: match_e2e.sh path/to/krelmo99
set -uo pipefail
game=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init

start_game
focus_window "$window"

# F2 starts a match: the scoreboard appears in red on the top wall.
new_match

# The paddle follows the mouse along the strip, and nothing of it is left at its old place.
xdotool mousemove $((client_x + 100)) $((client_y + 414))
paddle_moved() { count_is_over FFFFFF 100 411 60 8 300 && (($(count FFFFFF 291 411 58 8) == 0)); }
wait_for "the paddle's move to x 100" paddle_moved

# A click serves. The ball is the only white in the play area above the paddle; wherever the
# serve sends it, two screenshots taken one after the other find it at two places.
play_area=(22 20 597 385)
xdotool click 1
ball_in_play() { take_shot && first=$(white_box "${play_area[@]}") && [[ -n "$first" ]]; }
wait_for "a ball in play after the serve" ball_in_play
ball_moved() { take_shot && second=$(white_box "${play_area[@]}") && [[ -n "$second" && "$second" != "$first" ]]; }
wait_for "a move of the ball from $first" ball_moved

# F3 pauses: the pause text stands in the play area.
xdotool key F3
wait_for "\"Paused - <F3> to resume\" after F3" count_is_over FFFFFF 220 220 190 16 50

# Esc asks "Abort game?"; Yes ends the match and the title comes back.
xdotool key Escape
box=$(wait_for_window Warning) || fail "no abort question after Esc"
focus_window "$box"
xdotool key y
title_back() { take_shot && { (($(count FFFF00 240 160 160 40) > 20)) || (($(count FFFFFF 270 185 100 20) > 20)); }; }
wait_for "the title screen after the abort" title_back
no_window Warning || fail "the question stayed open"

quit_game
echo "match end-to-end: passed"
