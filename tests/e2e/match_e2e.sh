#!/usr/bin/env bash
# A real match in the built game under Xvfb, driven by real input and heard through SDL's
# disk audio driver: the first screen and the chime; Esc out of a menu leaves the keyboard with
# the game; F2 starts a match, the paddle follows the mouse, a click serves, a fast swing leaves
# the paddle where the pointer stops, a brick and the wall are heard; F3 pauses; the help shows
# clear of the menu bar; F2 and No play on; Esc and Yes abort. The match's replay plays back
# headless alike, and beside a running game in a window of its own.
# Usage: match_e2e.sh path/to/krelmo99 path/to/find-recordings path/to/krelmo-sim
set -uo pipefail
game=$1 find_recordings=$2 sim=$3
export SDL_AUDIODRIVER=disk
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
export SDL_DISKAUDIOFILE=$work/heard.raw

start_game
wait_for "the start-up chime (recording 123) in the output" heard 123
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/win_/')"
# The game centres its 640 x 480 window on the 1024 x 768 screen, the client area under a menu bar.
[[ $win_X -eq 192 && $win_Y -eq 144 ]] || fail "window at ($win_X, $win_Y), not centred at (192, 144)"
((win_WIDTH >= 634 && client_y - win_Y >= 10)) || fail "no room for a menu bar over the client area"
expect_first_screen

# A menu shows by covering what the game drew under it: no pixel of that colour is left in a
# small client rectangle at x, y. Game > Players, both over the top row of bricks, then Esc twice.
focus_window "$window"
menu_bar_y=$((client_y - 10))
menu_covers() { take_shot && (($(count "$1" "$2" "$3" 30 6) == 0)); }
menu_gone() { ! menu_covers "$@"; }
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
# Along the row the pointer is held to during a match: a move off it would be put back on it
# by a warp of the game's own, which can land after the swing's last move.
y=$((client_y + 398))
xdotool mousemove $((client_x + 100)) $y
wait_for "the paddle at x 100" paddle_at 100

# A click serves; two screenshots one after the other find the ball at two places.
xdotool click 1
ball_in_play() { take_shot && first=$(white_box 22 20 597 385) && [[ -n "$first" ]]; }
wait_for "a ball in play after the serve" ball_in_play
ball_moved() { take_shot && second=$(white_box 22 20 597 385) && [[ -n "$second" && "$second" != "$first" ]]; }
wait_for "a move of the ball from $first" ball_moved

# Swing over the strip, back and over again in 600 moves of 2 pixels, about a millisecond
# apart as a fast mouse reports them: frames run, and each of their steps takes at most one move.
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
# The served ball strikes the wall's bottom row, and meets a side wall on its way.
wait_for "a brick's recording (124, 125, 127, 128, 129 or 131)" heard "124|125|127|128|129|131"
wait_for "the wall's recording (130)" heard 130

# The pause text's ink is some 550 white pixels: far more than the 64 of a ball passing by.
pause_text=(220 220 190 16)
xdotool key F3
wait_for "\"Paused - <F3> to resume\" after F3" count_is_over FFFFFF "${pause_text[@]}" 300

# Help > Contents, the first item of the Help menu: its white page with the black heading
# text, above the game and clear of its menu bar.
xdotool mousemove $((client_x + 108)) $menu_bar_y click 1
wait_for "the Help menu" menu_covers 000000 170 24
xdotool mousemove $((client_x + 130)) $((client_y + 12)) click 1
wait_for "a help window after Help > Contents" window_shown "Krelmo '99 Help"
help=$found
eval "$(xdotool getwindowgeometry --shell "$help" | sed 's/^/help_/')"
((help_Y >= client_y)) || fail "the help window (top $help_Y) covers the menu bar (bottom $client_y)"
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
wait_for "the pause text to go after F3" eval '! count_is_over FFFFFF "${pause_text[@]}" 64'

# F2 in a match asks "Abort Game?": No plays on. Esc asks again; Yes ends the match and the
# title comes back.
answer_question F2 n
answer_question Escape y
# Both tables' yellow headings, left and right at y 240: the title screen alone draws them
# (a question's yellow icon sits between the two, and a pause text is white).
title_back() { take_shot && (($(count FFFF00 80 240 170 16) > 150 && $(count FFFF00 420 240 170 16) > 150)); }
wait_for "the title screen after the abort" title_back

quit_game

# The match's replay: the simulator plays it back to the same scores and picture.
file=$(ls "$XDG_DATA_HOME"/krelmo99/replays/*.replay.gz) || fail "no replay of the match"
for line in '^m ' '^a 7$' '^a 6$' '^h 1$'; do
  zcat "$file" | grep -q "$line" || fail "the replay holds no line $line"
done
"$sim" --replay "$file" >"$work/sim.out" 2>&1 || { cat "$work/sim.out"; fail "krelmo-sim did not replay the match"; }
echo "replay of $(wc -c <"$file") bytes: $(grep -E '^(frames|ball steps|playback)' "$work/sim.out" | tr '\n' ' ')"
# While a game runs, a damaged replay is refused by its line with code 2, and a replay plays in
# a window of its own, named by its file, at the match's pace; Esc ends it, and the game and its
# settings store are left as they were.
rm -f "$KRELMO_REGISTRY"
start_game
running_pid=$game_pid running_window=$window
more_pids+=("$running_pid")
mv "$work/game.err" "$work/running.err"  # the game goes on writing there
damaged=$work/damaged.replay
zcat "$file" | sed '3s/.*/no such line/' >"$damaged"
status=0
"$game" --replay "$damaged" 2>"$work/damaged.err" || status=$?
((status == 2)) || fail "a damaged replay ended with code $status, not 2, while a game ran: $(cat "$work/damaged.err")"
grep -q "^krelmo99: $damaged:3: " "$work/damaged.err" || fail "the damaged replay's line was not named: $(cat "$work/damaged.err")"
store_before=$(md5sum <"$KRELMO_REGISTRY")
start_titled "Krelmo '99 - $(basename "$file")" --replay "$file"
[[ "$window" != "$running_window" ]] || fail "the playback took the running game's window"
kill -0 "$running_pid" 2>/dev/null || fail "the game ended when the playback started"
wait_for "the playback's end ($(cat "$work/game.err"))" grep -q "the replay ended as recorded" "$work/game.err"
wait_for "the title screen at the playback's end" title_back
focus_window "$window"
xdotool key Escape
await_exit "Esc in the playback"
[[ "$(md5sum <"$KRELMO_REGISTRY")" == "$store_before" ]] || fail "the playback wrote the settings store"
game_pid=$running_pid window=$running_window
more_pids=()
cp "$work/running.err" "$work/game.err"
quit_game
echo "match end-to-end: passed"
