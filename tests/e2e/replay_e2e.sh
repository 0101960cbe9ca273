#!/usr/bin/env bash
# A match played with real input (mouse swings, a serve, a pause, F2 with its question
# answered No, then Esc answered Yes) is recorded by the game; the simulator plays the file
# back to the same scores and picture, and the game plays it in its window until Esc.
# Usage: replay_e2e.sh path/to/krelmo99 path/to/krelmo-sim
set -uo pipefail
game=$1
sim=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
replays=$XDG_DATA_HOME/krelmo99/replays

start_game
focus_window "$window"
new_match

swing() {
  local i
  for i in $(seq 0 5 200); do xdotool mousemove $((client_x + 100 + i)) $((client_y + 414)); done
  for i in $(seq 0 7 200); do xdotool mousemove $((client_x + 300 - i)) $((client_y + 414)); done
}
play_area=(22 20 597 385)
xdotool mousemove $((client_x + 200)) $((client_y + 414)) click 1
ball_in_play() { take_shot && [[ -n "$(white_box "${play_area[@]}")" ]]; }
wait_for "a ball in play after the serve" ball_in_play
swing
xdotool key F3
wait_for "the pause text after F3" count_is_over FFFFFF 220 220 190 16 50
xdotool key F3
swing

# F2 in a match asks before it aborts: No plays on, and Esc's question, answered Yes, ends it.
xdotool key F2
box=$(wait_for_window Warning) || fail "no abort question after F2"
focus_window "$box"
xdotool key n
wait_for "the question to close" no_window Warning
focus_window "$window"
swing
xdotool key Escape
box=$(wait_for_window Warning) || fail "no abort question after Esc"
focus_window "$box"
xdotool key y
wait_for "the question to close" no_window Warning

one_replay() { [[ $(ls "$replays" 2>/dev/null | grep -c '\.replay\.gz$') -eq 1 ]]; }
wait_for "one replay in $replays after the match" one_replay
file=$(ls "$replays"/*.replay.gz)
quit_game
zcat "$file" | grep -q '^m ' || fail "the replay holds no mouse move taken in a ball step"
zcat "$file" | grep -q '^a 7$' || fail "the replay holds no No to the abort question"

"$sim" --replay "$file" >"$work/sim.out" 2>"$work/sim.err" ||
  { cat "$work/sim.out" "$work/sim.err"; fail "krelmo-sim did not play the replay back as recorded"; }
grep -q "result: as recorded" "$work/sim.out" || { cat "$work/sim.out"; fail "no verdict from krelmo-sim"; }
echo "replay of $(wc -c <"$file") bytes: $(grep -E '^(frames|ball steps|playback)' "$work/sim.out" | tr '\n' ' ')"

# In the window: the match plays again at its pace and ends as recorded; a second start with
# a replay hands over and ends; Esc ends the playback, and nothing was written to the store.
rm -f "$KRELMO_REGISTRY"
start_game --replay "$file"
"$game" --replay "$file" 2>/dev/null || fail "a second start with a replay did not end with code 0"
ended() { grep -q "the replay ended as recorded" "$work/game.err"; }
wait_for "the playback to end as recorded ($(cat "$work/game.err"))" ended
title_back() { take_shot && (($(count FFFFFF 270 185 100 20) > 20 || $(count FFFF00 240 160 160 40) > 20)); }
wait_for "the title screen at the playback's end" title_back
focus_window "$window"
xdotool key Escape
await_exit "Esc in the playback"
[[ ! -e "$KRELMO_REGISTRY" ]] || fail "the playback wrote the settings store"
echo "replay end-to-end: passed"
