#!/usr/bin/env bash
# End-to-end: krelmo99 in a real X server (Xvfb, no window manager), driven by xdotool and
# checked by screenshots: the window's place, the first screen's colours, a second start, and
# Alt+F4.
set -uo pipefail
game=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init

start_game
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/win_/')"
echo "window $window at ($win_X, $win_Y), $win_WIDTH x $win_HEIGHT"
# The game centres its 640 x 480 window on the 1024 x 768 screen, the client area under a menu bar.
[[ $win_X -eq 192 && $win_Y -eq 144 ]] || fail "window at ($win_X, $win_Y), not centred at (192, 144)"
((win_WIDTH >= 634 && client_y - win_Y >= 10)) || fail "no room for a menu bar over the client area"

take_shot
check() {
  (($(count "$3" "$1" "$2" 1 1) == 1)) || fail "client ($1, $2), $4: not #$3"
  echo "ok: client ($1, $2) $4"
}
check 30 66 FF00FF "top row of bricks, magenta"
check 30 78 0000FF "second row, blue"
check 30 126 FF0000 "bottom row, red"
check 10 200 C0C0C0 "left wall, silver"
check 625 200 C0C0C0 "right wall, silver"
check 300 10 C0C0C0 "top wall, silver"
check 300 300 000000 "play area, black"
check 300 414 FFFFFF "paddle, white"

# A second start hands over to the running game and leaves quietly.
second_status=0
timeout 10 "$game" 2>"$work/second.err" || second_status=$?
[[ $second_status -eq 0 ]] || fail "the second start ended with code $second_status: $(cat "$work/second.err")"
windows=$(xdotool search --onlyvisible --name "^Krelmo '99\$" 2>/dev/null | wc -l)
[[ $windows -eq 1 ]] || fail "$windows game windows after a second start"
kill -0 "$game_pid" 2>/dev/null || fail "the running game ended after the second start"
echo "ok: second start ended with 0, one window"

# Alt+F4 over the window ends the game with code 0, with no window manager to help.
quit_game
echo "ok: Alt+F4 ended the game with code 0"
