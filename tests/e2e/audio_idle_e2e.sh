#!/usr/bin/env bash
# The audio device of the built game under Xvfb, heard through SDL's disk audio driver: closed
# (its audio thread gone) some seconds after the start-up chime on the title screen; opened
# again when F2 starts a match, whose served ball is heard striking a brick; closed again once
# the match is aborted; and where it cannot open again (its output file replaced by a folder),
# the next match plays on silently, with one line on the error stream, until it can.
# Usage: audio_idle_e2e.sh path/to/krelmo99 path/to/find-recordings
set -uo pipefail
game=$1 find_recordings=$2
export SDL_AUDIODRIVER=disk
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
export SDL_DISKAUDIOFILE=$work/heard.raw
# SDL names the thread of an open playback device SDLAudioP and a number.
audio_thread() { grep -qs '^SDLAudioP' /proc/"$game_pid"/task/*/comm; }
no_audio_thread() { ! audio_thread; }
title_back() { take_shot && { (($(count FFFF00 240 160 160 40) > 20)) || (($(count FFFFFF 270 185 100 20) > 20)); }; }
ball_in_play() { take_shot && [[ -n "$(white_box 22 20 597 385)" ]]; }
abort_match() {
  answer_question Escape y
  wait_for "the title screen after the abort" title_back
}
reopen_failures() { grep -c "the audio device did not open again" "$work/game.err"; }

start_game
wait_for "the start-up chime (recording 123) in the output" heard 123
wait_for "the audio device to close on the title screen" no_audio_thread

# The device writes a new file when it opens: what is heard from now on comes from it.
rm -f "$SDL_DISKAUDIOFILE"
focus_window "$window"
new_match
wait_for "the audio device to open again for the match" audio_thread
xdotool mousemove $((client_x + 300)) $((client_y + 398)) click 1
wait_for "a brick's recording (124, 125, 127, 128, 129 or 131) after the reopen" \
  heard "124|125|127|128|129|131"
abort_match
wait_for "the audio device to close after the match" no_audio_thread

# The device can no longer open: the match plays all the same, and says so once; a later try
# of the match's opens it again once it can.
rm -f "$SDL_DISKAUDIOFILE"
mkdir "$SDL_DISKAUDIOFILE"
focus_window "$window"
new_match
wait_for "a line saying the device did not open again" grep -q "did not open again" "$work/game.err"
xdotool mousemove $((client_x + 300)) $((client_y + 398)) click 1
wait_for "a ball in play without the audio device" ball_in_play
no_audio_thread || fail "an audio thread runs though the device did not open"
rmdir "$SDL_DISKAUDIOFILE"
wait_for "the audio device to open again in the match" audio_thread
(($(reopen_failures) == 1)) || fail "$(reopen_failures) lines for the failed openings, not 1"
abort_match
quit_game
echo "error output: $(cat "$work/game.err")"
echo "audio idle end-to-end: passed"
