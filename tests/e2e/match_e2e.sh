#!/usr/bin/env bash
# A real match in the built game under Xvfb, driven by real input: start with F2, move the
# paddle, serve, watch the ball move, pause with F3, abort with Esc and Yes, quit.
# Usage: match_e2e.sh path/to/krelmo99
set -euo pipefail

game=$1
if [ -z "${KRELMO_E2E_DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is missing"; exit 77; }
  exec xvfb-run -a -s "-screen 0 1024x768x24" env KRELMO_E2E_DISPLAY=1 bash "$0" "$@"
fi

work=$(mktemp -d)
# A private runtime folder: this game's lock and hand-over socket don't meet another's.
export XDG_RUNTIME_DIR=$work TMPDIR=$work KRELMO_REGISTRY=$work/krelmo.reg
export SDL_AUDIODRIVER=dummy
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR_KEEP:-/tmp}/krelmo-e2e-failure.png" || true
  exit 1
}

"$game" &
pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --name "^Krelmo '99\$" 2>/dev/null | head -n 1) || true
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "the game window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
# No window manager: the window has no frame; the client area sits under the menu bar.
cx=$X
cy=$((Y + HEIGHT - 436))

shot() { import -window root "$work/shot.png"; }
# Count of pixels of one colour (hex RRGGBB) in a client-area rectangle: x y width height.
count() {
  convert "$work/shot.png" -crop "$4x$5+$((cx + $2))+$((cy + $3))" +repage txt:- |
    grep -ci "#$1" || true
}

xdotool windowfocus --sync "$wid" 2>/dev/null || true
sleep 0.3

# F2 starts a match: the scoreboard appears in red on the top wall.
xdotool key F2
sleep 0.5
shot
[ "$(count FF0000 0 0 300 20)" -gt 20 ] || fail "no red scoreboard after F2"

# The paddle follows the mouse along the strip.
xdotool mousemove $((cx + 100)) $((cy + 414))
sleep 0.5
shot
[ "$(count FFFFFF 100 411 60 8)" -gt 300 ] || fail "the paddle did not follow the mouse to x 100"
[ "$(count FFFFFF 291 411 58 8)" -eq 0 ] || fail "the paddle was left at its old place"

# A click serves; the ball moves between two screenshots.
xdotool click 1
sleep 0.4
shot
first=$(convert "$work/shot.png" -crop "597x300+$((cx + 22))+$((cy + 20))" +repage txt:- |
  grep -i "#FFFFFF" | head -n 1 | cut -d: -f1)
sleep 0.3
shot
second=$(convert "$work/shot.png" -crop "597x300+$((cx + 22))+$((cy + 20))" +repage txt:- |
  grep -i "#FFFFFF" | head -n 1 | cut -d: -f1)
[ -n "$first" ] && [ -n "$second" ] || fail "no ball in play after the serve"
[ "$first" != "$second" ] || fail "the ball did not move ($first)"

# F3 pauses: the pause text stands in the play area.
xdotool key F3
sleep 0.5
shot
[ "$(count FFFFFF 220 220 190 16)" -gt 50 ] || fail "no \"Paused - <F3> to resume\" after F3"

# Esc asks "Abort game?"; Yes ends the match and the title comes back.
xdotool key Escape
box=""
for _ in $(seq 50); do
  box=$(xdotool search --name "^Warning\$" 2>/dev/null | head -n 1) || true
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no abort question after Esc"
xdotool windowfocus --sync "$box" 2>/dev/null || true
sleep 0.3
xdotool key y
sleep 0.8
shot
title=$(count FFFF00 240 160 160 40)
gameover=$(count FFFFFF 270 185 100 20)
[ "$title" -gt 20 ] || [ "$gameover" -gt 20 ] || fail "no title screen after the abort"
[ -z "$(xdotool search --name "^Warning\$" 2>/dev/null)" ] || fail "the question stayed open"

# Alt+F4 quits with exit code 0.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key alt+F4
code=0
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid" || code=$?
pid=""
[ "$code" -eq 0 ] || fail "exit code $code after Alt+F4"
echo "match end-to-end: passed"
