#!/usr/bin/env bash
# The game under abuse: 20 starts at once leave exactly one running game, every other start
# ends with code 0, and the settings file is whole afterwards; a game killed with SIGKILL,
# even while it saves, leaves no lock that blocks the next start and no torn settings file; a
# start made while a game ends is a game of its own.
# Usage: many_starts_e2e.sh path/to/krelmo99 path/to/reg-check
set -uo pipefail
game=$1 reg_check=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init

# A stored Varnak for two players: whatever run saves last, the file must still say so.
write_settings '"NumPlayers"=dword:00000001' '"DefaultGame"=dword:00000001' >"$KRELMO_REGISTRY"
# Every check comes after a game has saved: the file is the game's own, UTF-16 and all.
settings_whole() {
  "$reg_check" --as-written "$KRELMO_REGISTRY" >/dev/null ||
    fail "the settings file is torn $1: $(settings_text)"
  [[ "$(settings_text)" == *'"NumPlayers"=dword:00000001'* ]] ||
    fail "the stored player count was lost $1: $(settings_text)"
  local left
  left=$(ls "$KRELMO_REGISTRY".* 2>/dev/null)
  [[ -z "$left" ]] || fail "files were left beside the settings $1: $left"
}
game_windows() { xdotool search --onlyvisible --name "^Krelmo '99\$" 2>/dev/null | wc -l; }

running() {
  local pid alive=0
  for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=$((alive + 1)); done
  echo "$alive"
}
one_left_with_a_window() { (($(running) == 1 && $(game_windows) == 1)); }
# The X server here now and then resets a new client's connection, most often one made just as
# another client leaves; a start it turns away ends with code 1 saying so. That is no fault of
# the game: such a start is tried again, at most twice more.
x_refused() { grep -q "could not connect to display" "$1"; }
# 20 starts at once, each with an error stream of its own.
for attempt in 1 2 3; do
  pids=()
  for n in $(seq 20); do
    "$game" 2>"$work/start$n.err" &
    pids+=($!)
  done
  wait_for "all but one start to end, and one game window" one_left_with_a_window
  refused=0
  for n in "${!pids[@]}"; do
    pid=${pids[$n]} err=$work/start$((n + 1)).err
    if kill -0 "$pid" 2>/dev/null; then
      game_pid=$pid
      cp "$err" "$work/game.err"
      continue
    fi
    status=0
    wait "$pid" || status=$?
    ((status == 0)) && continue
    if ((status == 1)) && x_refused "$err"; then
      refused=$((refused + 1))
      continue
    fi
    fail "start $((n + 1)) ended with code $status: $(cat "$err")"
  done
  window=$(xdotool search --onlyvisible --name "^Krelmo '99\$" | head -n1)
  quit_game
  (($(game_windows) == 0)) || fail "a game window is still open after the last game quit"
  settings_whole "after 20 starts"
  ((refused == 0)) && break
  ((attempt < 3)) || fail "the X server turned away some of the 20 starts in each of 3 tries"
  echo "note: the X server turned away $refused of the 20 starts; once more"
done
echo "ok: 20 starts, one game, 19 exits with code 0"

# Killed outright as it begins to save at Alt+F4 (or just after it has): the file is whole.
kill_game() {
  kill -KILL "$game_pid" 2>/dev/null
  { wait "$game_pid"; } 2>/dev/null
  game_pid=
}
start_game
focus_window "$window"
xdotool key alt+F4
kill_game
"$reg_check" --as-written "$KRELMO_REGISTRY" >/dev/null ||
  fail "SIGKILL at the exit tore the settings file: $(settings_text)"
# Killed in play: its lock stays behind, held by nobody, and the next start takes it over.
start_game
kill_game
[[ -e "$XDG_RUNTIME_DIR/Krelmo" ]] || fail "no lock file was left behind by SIGKILL"
start_game
quit_game
settings_whole "after SIGKILL and a restart"

# A start while a game ends is a game of its own. The ending game's audio device is slow to
# close (SDL's disk driver sleeps 10 s between buffers), which holds it in its teardown, after
# its settings are saved, for seconds; the start made then waits for its lock.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/slow.raw SDL_DISKAUDIODELAY=10000 start_game
ending_pid=$game_pid
more_pids+=("$ending_pid")
inode=$(stat -c %i "$KRELMO_REGISTRY")
saved() { [[ "$(stat -c %i "$KRELMO_REGISTRY" 2>/dev/null)" != "$inode" ]]; }
kill -TERM "$ending_pid"
wait_for "the ending game's settings to be saved" saved
kill -0 "$ending_pid" 2>/dev/null || fail "the game ended at once: its audio device closed quickly"
"$game" 2>"$work/next.err" &
game_pid=$!
ended() { ! kill -0 "$ending_pid" 2>/dev/null; }
wait_for "the ending game to end" ended
kill -0 "$game_pid" 2>/dev/null || fail "the start made while the game ended was lost: $(cat "$work/next.err")"
cp "$work/next.err" "$work/game.err"
pids=("$game_pid")
wait_for "the new game's window" one_left_with_a_window
window=$(xdotool search --onlyvisible --name "^Krelmo '99\$" | head -n1)
quit_game
settings_whole "after a start while the game ended"
echo "many starts end-to-end: passed"
