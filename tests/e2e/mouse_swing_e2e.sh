#!/usr/bin/env bash
# A fast swing of the mouse during play, in many small moves as a modern mouse reports them:
# the paddle goes straight to where the pointer stops and never trails behind it.
# Usage: mouse_swing_e2e.sh path/to/krelmo99
set -uo pipefail
game=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init "$0" "$@"

# The left edge of the paddle in the last screenshot, or empty: one left of the first white
# run of 40 pixels or more along client row 414 (the paddle's ring is black; the ball is 8
# wide).
paddle_x() {
  convert "$shot" -crop "634x1+$client_x+$((client_y + 414))" +repage -depth 8 txt:- |
    awk -F'[,:]' '/#FFFFFF/ && !found { if ($1 == last + 1) run++; else { start = $1; run = 1 }
                                        last = $1; if (run >= 40) { print start - 1; found = 1 } }' ||
    fail "convert could not read the screenshot"
}
paddle_at() { take_shot && [[ "$(paddle_x)" == "$1" ]]; }
# The top of the ball above the paddle's row in the last screenshot, or empty. The ball moves
# one pixel up or down a step: it is the clock of the game, whatever the machine's speed.
ball_y() {
  local box
  box=$(white_box 22 20 597 390)
  [[ -n "$box" ]] && echo $((20 + ${box##*+}))
}

start_game
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key F2
wait_for "the red scoreboard after F2" count_is_over FF0000 0 0 300 20 20
# Along the row the pointer is held to during a match: a move off it would be put back on it
# by a warp of the game's own, which can land after the swing's last move.
y=$((client_y + 398))
xdotool mousemove $((client_x + 100)) $y
wait_for "the paddle at x 100" paddle_at 100

# Serve, and once the ball is on its way to the wall, swing over the strip, back and over
# again in 600 moves of 2 pixels, about a millisecond apart as a fast mouse reports them:
# frames run, and each of their steps takes at most one move.
xdotool click 1
ball_in_play() { take_shot && [[ -n "$(ball_y)" ]]; }
wait_for "a ball in play after the serve" ball_in_play
swing=()
for ((x = 102; x <= 500; x += 2)); do swing+=(mousemove $((client_x + x)) $y sleep 0.0003); done
for ((x = 498; x >= 100; x -= 2)); do swing+=(mousemove $((client_x + x)) $y sleep 0.0003); done
for ((x = 102; x <= 500; x += 2)); do swing+=(mousemove $((client_x + x)) $y sleep 0.0003); done
xdotool "${swing[@]}"

# The pointer rests at x 500. The paddle is there by the next screenshot, or, should the game
# not have run since the swing ended, before the ball has gone 8 steps further: a paddle still
# on its way after that trails the pointer by a backlog of moves.
take_shot
first_ball=$(ball_y)
[[ "$(paddle_x)" == 500 || -n "$first_ball" ]] ||
  fail "no ball in play after the swing, and the paddle at x $(paddle_x), not 500"
settled() {
  take_shot
  now=$(paddle_x)
  [[ "$now" == 500 ]] && return 0
  ball=$(ball_y)
  if [[ -n "$ball" ]] && ((ball - first_ball >= 8 || first_ball - ball >= 8)); then
    fail "the paddle trailed the pointer: at x ${now:-none}, not 500, with the ball gone" \
      "from y $first_ball to $ball since the swing ended"
  fi
  return 1
}
wait_for "the paddle at the pointer's x 500 after the swing" settled

quit_game
echo "mouse swing end-to-end: passed"
