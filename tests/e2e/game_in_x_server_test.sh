#!/usr/bin/env bash
# End-to-end: krelmo99 in a real X server (Xvfb, no window manager), driven by xdotool and
# checked by screenshots: the first screen's colours, a second start, and Alt+F4.
set -uo pipefail

game=$1
if [[ -z "${KRELMO_E2E_IN_XVFB:-}" ]]; then
  command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed"; exit 77; }
  export KRELMO_E2E_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

for tool in xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

# A runtime folder and settings file of our own: this game's lock, hand-over socket and
# settings stay apart from any game the user is playing and from other test runs.
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime KRELMO_REGISTRY=$work/krelmo.reg
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
game_pid=
cleanup() {
  if [[ -n "$game_pid" ]] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- game's error output:"
  cat "$work/game.err" 2>/dev/null || true
  exit 1
}

game_windows() { xdotool search --onlyvisible --name "^Krelmo '99\$" 2>/dev/null || true; }

# The colour at screen point (x, y) of a screenshot, as #RRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p'
}

# The first offset from (x, y) along a column ("down") or a row ("across") where the
# screenshot is silver, the frame walls' colour; empty when there is none within n pixels.
first_silver() {
  local shot=$1 x=$2 y=$3 n=$4 direction=$5 geometry
  if [[ $direction == down ]]; then geometry="1x$n+$x+$y"; else geometry="${n}x1+$x+$y"; fi
  convert "$shot" -crop "$geometry" -depth 8 txt:- |
    awk -v dir="$direction" '/#C0C0C0/ && !found { split($1, p, /[,:]/); print (dir == "down" ? p[2] : p[1]); found = 1 }'
}

"$game" 2>"$work/game.err" &
game_pid=$!

window=
for _ in $(seq 100); do
  window=$(game_windows | head -n1)
  [[ -n "$window" ]] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
  sleep 0.1
done
[[ -n "$window" ]] || fail "no window titled \"Krelmo '99\" within 10 s"

shot=$work/shot.png
# The window is placed and its first screen drawn once the silver top wall shows under the
# menu bar: poll for it rather than guess how long that takes.
dy=
for _ in $(seq 150); do
  read -r win_x win_y win_w win_h < <(xwininfo -id "$window" | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
  import -window root "$shot" || fail "import could not take a screenshot"
  dy=$(first_silver "$shot" $((win_x + 300)) "$win_y" "$win_h" down)
  [[ -n "$dy" ]] && break
  sleep 0.1
done

read -r win_x win_y win_w win_h < <(xwininfo -id "$window" | awk '
  /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
  /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
echo "window $window at ($win_x, $win_y), $win_w x $win_h"
[[ $win_w -ge 634 && $win_h -gt 436 ]] || fail "window is $win_w x $win_h, too small for the game"
# The game centres its 640 x 480 window on the 1024 x 768 screen.
[[ $win_x -eq 192 && $win_y -eq 144 ]] || fail "window at ($win_x, $win_y), not centred at (192, 144)"

# The client area's top-left: the silver top wall is the first silver below the menu bar,
# and the left wall the first silver across from the window's left edge.
[[ -n "$dy" ]] || fail "no silver top wall under the menu bar"
client_y=$((win_y + dy))
dx=$(first_silver "$shot" "$win_x" $((client_y + 200)) "$win_w" across)
[[ -n "$dx" ]] || fail "no silver left wall"
client_x=$((win_x + dx))
echo "client area at ($client_x, $client_y)"
[[ $((client_y - win_y)) -ge 10 ]] || fail "the client area is not below a menu bar"

check() {
  local x=$1 y=$2 want=$3 what=$4 got
  got=$(pixel "$shot" $((client_x + x)) $((client_y + y)))
  [[ "$got" == "$want" ]] || fail "client ($x, $y), $what: $got instead of $want"
  echo "ok: client ($x, $y) $what $got"
}
check 30 66 "#FF00FF" "top row of bricks, magenta"
check 30 78 "#0000FF" "second row, blue"
check 30 126 "#FF0000" "bottom row, red"
check 10 200 "#C0C0C0" "left wall, silver"
check 625 200 "#C0C0C0" "right wall, silver"
check 300 10 "#C0C0C0" "top wall, silver"
check 300 300 "#000000" "play area, black"
check 300 414 "#FFFFFF" "paddle, white"

# A second start hands over to the running game and leaves quietly.
second_status=0
timeout 10 "$game" 2>"$work/second.err" || second_status=$?
[[ $second_status -eq 0 ]] || fail "the second start ended with code $second_status"
sleep 1
count=$(game_windows | wc -l)
[[ $count -eq 1 ]] || fail "$count game windows after a second start"
kill -0 "$game_pid" 2>/dev/null || fail "the running game ended after the second start"
echo "ok: second start ended with 0, one window"

# Alt+F4 over the window ends the game with code 0, with no window manager to help.
xdotool mousemove $((client_x + 300)) $((client_y + 300))
sleep 0.2
xdotool key alt+F4
status=
for _ in $(seq 100); do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    status=0
    wait "$game_pid" || status=$?
    break
  fi
  sleep 0.1
done
game_pid_was=$game_pid
game_pid=
[[ -n "$status" ]] || { kill "$game_pid_was"; fail "Alt+F4 did not end the game within 10 s"; }
[[ $status -eq 0 ]] || fail "the game ended with code $status after Alt+F4"
echo "ok: Alt+F4 ended the game with code 0"
