#!/usr/bin/env bash
# What the player hears, recorded: the built game under Xvfb with SDL's disk audio driver
# writing the mixer's output to a file, searched for the start-up chime, then, in a served
# match, for a brick's and a wall's (or the paddle's) recordings.
# Usage: sound_e2e.sh path/to/krelmo99 path/to/find-recordings
set -uo pipefail
game=$1
find_recordings=$2
export SDL_AUDIODRIVER=disk
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
export SDL_DISKAUDIOFILE=$work/heard.raw

heard() {
  [[ -f "$SDL_DISKAUDIOFILE" ]] || return 1
  "$find_recordings" "$SDL_DISKAUDIOFILE" | grep -Eq "^($1) at " ||
    { [[ ${PIPESTATUS[0]} -eq 0 ]] || fail "find-recordings could not read the recording"; return 1; }
}

start_game
wait_for "the start-up chime (recording 123) in the output" heard 123
focus_window "$window"

# Digital audio is the first-run choice where a device opens. F2 starts a match; the paddle
# goes near the left wall and a click serves (clicks while the ball is in play do nothing).
new_match
xdotool mousemove $((client_x + 100)) $((client_y + 414))
serve_and_hear() { xdotool click 1; heard "$1"; }
wait_for "a brick's recording (124, 125, 127, 128, 129 or 131) in a served match" \
  serve_and_hear "124|125|127|128|129|131"
wait_for "the wall or paddle recording (130) in a served match" serve_and_hear 130

quit_game
echo "sound end-to-end: heard $("$find_recordings" "$SDL_DISKAUDIOFILE" | cut -d' ' -f1 | sort -u | tr '\n' ' ')"
