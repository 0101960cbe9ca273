#!/usr/bin/env bash
# krelmo99.exe itself under Wine, in an X server of its own, driven as a player would with
# xdotool: the first screen shows the wall; F2 starts a match (the red scoreboard); a click
# serves and the ball moves; F3 shows the pause text; Esc and Yes bring the title back; Game >
# Players > 3 Players is chosen; a second start hands over to the running game and ends with 0,
# leaving one window; Alt+F4 ends the game with 0; the match's replay plays back with
# --replay to the end as recorded; after a restart three players are still
# chosen (a match shows three scores) and `reg query` finds them under the user's key.
#   tests/windows/win32_e2e.sh path/to/krelmo99.exe
# WINEPREFIX names a prefix made for this run (tests/windows/run_tests.sh makes it); the
# game's keys are deleted first. Prints the time from start to the first presented frame.
set -uo pipefail
exe=$(realpath "${1:?usage: win32_e2e.sh path/to/krelmo99.exe}")
source "$(dirname "$0")/wine_lib.sh"

# Waits for every Windows program of the prefix to end; a crashed one waits for its debugger.
all_ended() {
  timeout 60 "$wineserver" -w ||
    fail "Wine's programs had not ended 60 s after $1 (a crash? $(grep -a 'Unhandled' "$work/game.err"))"
}

# Every start begins with no other Windows program of the prefix running: a game that is still
# ending would take the next start's hand-over.
start_exe() {
  all_ended "the last start"
  window=
  KRELMO_STATS=1 "$wine" "$exe" "$@" </dev/null >"$work/game.out" 2>"$work/game.err" &
  game_pid=$!
  window=$(wait_for_window "Krelmo '99") || {
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
    fail "no window titled \"Krelmo '99\" within 15 s"
  }
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$window")" || fail "no geometry for window $window"
  # Without a window manager Wine draws the frame itself: 3 pixels each side and below, the
  # caption and the menu bar above the client area.
  client_x=$((X + 3))
  client_y=$((Y + HEIGHT - 3 - 436))
  wait_for "the first screen (the silver top wall)" count_is_over C0C0C0 300 0 20 10 100
}

# Waits up to 15 s for the game to end with code 0 after what $1 names.
await_exit_0() {
  local status= _
  for _ in $(seq 150); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      status=0
      wait "$game_pid" || status=$?
      break
    fi
    sleep 0.1
  done
  [[ -n "$status" ]] || fail "$1 did not end the game within 15 s"
  game_pid=
  [[ $status -eq 0 ]] || fail "the game ended with code $status after $1"
  # A thread that crashes as the process ends leaves the code at 0: Wine reports it.
  all_ended "$1"
  ! grep -aq 'Unhandled' "$work/game.err" || fail "the game crashed after $1"
}

# The scoreboard's red (the player up) and blue (the players waiting) ink.
scoreboard_red() { take_shot && count FF0000 0 0 634 20; }
scoreboard_blue() { take_shot && count 0000FF 0 0 634 20; }
# Both tables' yellow headings on the title screen, which it alone draws.
title_shown() { take_shot && (($(count FFFF00 80 240 170 16) > 150 && $(count FFFF00 420 240 170 16) > 150)); }
menu_open() { take_shot && (($(count FF00FF 60 62 80 6) == 0)); }
game_menu() {
  xdotool mousemove $((client_x + 60)) $((client_y - 9)) click 1
  wait_for "the Game menu to open over the top row of bricks" menu_open
  xdotool key "$@"
}

# A first run: no key of the user's, and none of the machine's for the game to adopt (the
# registry round trip of run_tests.sh leaves one).
run_wine "$work/delete.log" reg delete "$game_key" /f
run_wine "$work/delete.log" reg delete "HKLM\\Software\\By Tenvarre" /f

start_exe
grep -o 'first frame presented [0-9]* ms after start' "$work/game.err" >"$work/first-frame" || true
expect_first_screen
wait_for "the title screen's tables" title_shown
focus_window "$window"

xdotool key F2
wait_for "the red scoreboard after F2" eval '(($(scoreboard_red) > 20))'
(($(scoreboard_blue) == 0)) || fail "a one-player match shows other players' scores"

# A click in the paddle's strip serves; two screenshots find the ball at two places.
xdotool mousemove $((client_x + 300)) $((client_y + 398)) click 1
ball_in_play() { take_shot && first=$(white_box 22 20 597 385) && [[ -n "$first" ]]; }
wait_for "a ball in play after the click" ball_in_play
ball_moved() { take_shot && second=$(white_box 22 20 597 385) && [[ -n "$second" && "$second" != "$first" ]]; }
wait_for "a move of the ball from $first" ball_moved

# The pause text's ink is some 550 white pixels, far more than the ball's 64. A key waits for
# the frame it came in to end.
xdotool key F3
wait_for "\"Paused - <F3> to resume\" after F3" count_is_over FFFFFF 220 220 190 16 300

xdotool key Escape
box=$(wait_for_window Warning) || fail "no \"Abort game?\" question after Esc"
focus_window "$box"
xdotool key y
wait_for "the question to close after Yes" no_window Warning
wait_for "the title screen after the abort" title_shown

# Game > Players > 3 Players, from the keyboard once the menu is open.
focus_window "$window"
game_menu Down Down Down Right Down Down Return
wait_for "the Game menu to close" eval '! menu_open'

# A second start finds the game running, brings it to the front and ends with 0.
"$wine" "$exe" </dev/null >"$work/second.out" 2>&1
status=$?
((status == 0)) || fail "the second start ended with code $status: $(cat "$work/second.out")"
kill -0 "$game_pid" 2>/dev/null || fail "the running game ended at the second start"
windows=$(xdotool search --onlyvisible --name "^Krelmo '99\$" | wc -l)
((windows == 1)) || fail "$windows game windows after the second start, not 1"

focus_window "$window"
xdotool key alt+F4
await_exit_0 Alt+F4
run_wine "$work/query.txt" reg query "$game_key" /v NumPlayers ||
  fail "reg query found no NumPlayers under $game_key: $(cat "$work/query.txt")"
grep -Eq 'NumPlayers +REG_DWORD +0x2$' "$work/query.txt" ||
  fail "3 Players was not stored under the user's key: $(cat "$work/query.txt")"

# The aborted match was recorded in the user's replay folder; --replay plays it back to its
# end, as recorded, in a window named for its file, and Esc closes it.
replays=$(run_wine "$work/folder.txt" cmd /c echo "%LOCALAPPDATA%" && "$wine" winepath -u "$(tail -1 "$work/folder.txt")" 2>/dev/null | tr -d '\r')/krelmo99/replays
replay=$(ls -t "$replays"/*.replay.gz 2>/dev/null | head -1)
[[ -n "$replay" ]] || fail "no replay of the match in $replays"
all_ended "the exit"
"$wine" "$exe" --replay "$("$wine" winepath -w "$replay" 2>/dev/null | tr -d '\r')" </dev/null \
  >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
playback=$(wait_for_window "Krelmo '99 - $(basename "$replay")") || fail "no playback window for $replay"
# At the match's own pace: as long as the match took, however slowly this machine played it.
deadline=$((SECONDS + 300))
until grep -q "the replay ended as recorded" "$work/game.err"; do
  kill -0 "$game_pid" 2>/dev/null || fail "the playback ended before the replay's end"
  ((SECONDS < deadline)) || fail "the playback did not reach the replay's end within 300 s"
  sleep 0.2
done
focus_window "$playback"
xdotool key Escape
await_exit_0 "Esc in the playback"

# Restarted: a match shows the two other players' scores in blue.
start_exe
focus_window "$window"
xdotool key F2
wait_for "the scores of players 2 and 3 after F2" eval '(($(scoreboard_blue) > 40))'
xdotool key Escape
box=$(wait_for_window Warning) || fail "no \"Abort game?\" question after Esc"
focus_window "$box"
xdotool key y
wait_for "the question to close after Yes" no_window Warning
focus_window "$window"
xdotool key alt+F4
await_exit_0 "Alt+F4 after the restart"

run_wine "$work/all.txt" reg query "$game_key"
echo "registry after the session ($game_key):"
grep -E '^ +[A-Za-z]' "$work/all.txt" | sed 's/^ */  /'
echo "$(cat "$work/first-frame" 2>/dev/null || echo "first frame: not reported")"
echo "Windows end-to-end: passed"
