#!/usr/bin/env bash
# Every performance figure of the game in one run and one table: the step benchmarks, the
# pacing of steps against the real clock, the mouse and sound latencies, and the real game
# under a private X server (first frame, idle CPU on the title screen and before a serve,
# presents during play, peak memory). Each row has its target and whether it was met.
# Usage: bench.sh [tools-folder] [game]    (make bench builds the release preset and runs it)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tools=${1:-build/release/tools}
game=${2:-build/release/frontend/qt/krelmo99}
idle_seconds=${KRELMO_BENCH_IDLE_SECONDS:-10}
for program in "$tools/krelmo-bench" "$tools/krelmo-bench-qt" "$tools/krelmo-latency" \
  "$tools/krelmo-audio-latency" "$tools/krelmo-sim" "$game"; do
  [[ -x $program ]] || { echo "bench: $program is not built" >&2; exit 1; }
done
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
source "$here/../../tests/e2e/e2e_lib.sh"
e2e_init

table=()
# row FIGURE MEASURED TARGET VERDICT
row() { table+=("$1|$2|$3|$4"); }
# verdict VALUE OP LIMIT: "met" or "missed" (OP is <= or >=); "no figure" when VALUE is empty.
verdict() {
  [[ -n $1 ]] || { echo "no figure"; return; }
  awk -v v="$1" -v op="$2" -v l="$3" \
    'BEGIN { ok = (op == "<=") ? (v <= l) : (v >= l); print ok ? "met" : "missed" }'
}
# figure FILE NAME: the value of a "Figures" line printed by krelmo-bench or krelmo-bench-qt.
figure() {
  awk -v n="$2" 'index($0, "  " n " ") == 1 { split(substr($0, length(n) + 3), f, " "); print f[1]; exit }' "$1"
}
# round VALUE DIGITS
round() { [[ -n $1 ]] && awk -v v="$1" -v d="$2" 'BEGIN { printf "%.*f", d, v }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b }'; }

echo "bench: step benchmarks and pacing (krelmo-bench, krelmo-bench-qt)" >&2
steps='BallStep/[^/]*/(open field|brick band, no hit|brick struck, four players)(/|$)'
"$tools/krelmo-bench" --benchmark_filter="$steps|Pacing" >"$work/bench.out" 2>&1 ||
  fail "krelmo-bench failed: $(tail -n5 "$work/bench.out")"
QT_QPA_PLATFORM=offscreen "$tools/krelmo-bench-qt" --benchmark_filter="$steps" \
  >"$work/bench-qt.out" 2>&1 || fail "krelmo-bench-qt failed: $(tail -n5 "$work/bench-qt.out")"
open=$(figure "$work/bench.out" "step cost, glyph table/open field")
band=$(figure "$work/bench.out" "step cost, glyph table/brick band, no hit")
strike=$(figure "$work/bench.out" "step cost, glyph table/brick struck, four players")
qt_open=$(figure "$work/bench-qt.out" "step cost, Qt front end/open field")
qt_strike=$(figure "$work/bench-qt.out" "step cost, Qt front end/brick struck, four players")
row "ball step, open field" "$open µs (1×)" "≤ 1 µs" "$(verdict "$open" "<=" 1)"
row "ball step, brick band, no hit" "$band µs ($(ratio "$band" "$open")×)" "≤ 1 µs" \
  "$(verdict "$band" "<=" 1)"
row "ball step, brick struck, four-player scoreboard redrawn" \
  "$strike µs ($(ratio "$strike" "$open")×)" "≤ 10× open field" \
  "$(verdict "$(ratio "$strike" "$open")" "<=" 10)"
row "the same on the Qt front end" "$qt_strike µs ($(ratio "$qt_strike" "$qt_open")×)" \
  "≤ 10× open field" "$(verdict "$(ratio "$qt_strike" "$qt_open")" "<=" 10)"
for delay in 4500 2200; do
  pace=$(round "$(figure "$work/bench.out" "achieved vs nominal at stepDelay $delay")" 2)
  row "pacing error of a frame against the real clock, stepDelay $delay" "$pace %" "within ±0.5 %" \
    "$(verdict "$(awk -v v="$pace" 'BEGIN { print (v < 0 ? -v : v) }')" "<=" 0.5)"
  over=$(round "$(figure "$work/bench.out" "step overshoot p99 at stepDelay $delay")" 0)
  row "step overshoot p99, stepDelay $delay" "$over µs" "≤ 20 µs" "$(verdict "$over" "<=" 20)"
done

echo "bench: mouse to paddle (krelmo-latency) and sound cue (krelmo-audio-latency)" >&2
"$tools/krelmo-latency" >"$work/latency.out" 2>&1 ||
  fail "krelmo-latency failed: $(tail -n5 "$work/latency.out")"
read -r step_ms p50 p99 < <(awk '/one step lasts/ { gsub(/[()]/, ""); s = $(NF-1) }
  /single move:/ { print s, $4, $7 }' "$work/latency.out")
row "mouse move to paddle drawn, p50" "${p50:-} ms" "≤ one step ($step_ms ms)" \
  "$(verdict "${p50:-}" "<=" "$step_ms")"
row "mouse move to paddle drawn, p99" "${p99:-} ms" "≤ one step ($step_ms ms)" \
  "$(verdict "${p99:-}" "<=" "$step_ms")"
"$tools/krelmo-audio-latency" >"$work/audio.out" 2>&1 ||
  fail "krelmo-audio-latency failed: $(tail -n5 "$work/audio.out")"
read -r cue50 cue99 < <(awk '/^recording cue/ { print $7, $10 }' "$work/audio.out")
read -r click50 click99 < <(awk '/^speaker click/ { print $7, $10 }' "$work/audio.out")
row "sound cue to first sample, a recording, p50 / p99" "${cue50:-} / ${cue99:-} ms" "≤ 12 ms" \
  "$(verdict "${cue99:-}" "<=" 12)"
row "the same for a speaker click, p50 / p99" "${click50:-} / ${click99:-} ms" "≤ 12 ms" \
  "$(verdict "${click99:-}" "<=" 12)"

# The game's CPU time over idle_seconds, in % of a core: every thread's time on a core, as the
# scheduler counts it (finer than the 10 ms ticks of utime and stime). Threads come and go (the
# audio device's ends when the game closes the device after some idle seconds), and an ended
# thread's time leaves the task list: so each thread is sampled every 0.1 s and counted from
# the start (or its first sample, for one started since) to its last sample, which loses at
# most 0.1 s of an ending thread instead of subtracting its whole life.
thread_ns() {
  awk '{ n = split(FILENAME, p, "/"); print p[n - 1], $1 }' /proc/"$game_pid"/task/*/schedstat \
    2>/dev/null
}
cpu_over() {
  local samples=$work/cpu.samples start end
  start=$(date +%s%N)
  { thread_ns; echo start; } >"$samples"
  while (($(date +%s%N) - start < idle_seconds * 1000000000)); do
    sleep 0.1
    thread_ns >>"$samples"
  done
  end=$(date +%s%N)
  awk -v s="$(((end - start) / 1000000))" '
    $1 == "start" { started = 1; next }
    !started { first[$1] = $2; next }
    { last[$1] = $2 }
    END { for (t in last) total += last[t] - first[t]; printf "%.2f", total / s / 1e4 }' "$samples"
}

echo "bench: the game under Xvfb (first frame, ${idle_seconds} s on the title screen," \
  "${idle_seconds} s before a serve, play)" >&2
KRELMO_STATS=1 start_game
first=$(awk '/first frame presented/ { print $5 }' "$work/game.err")
row "start to the first presented frame" "${first:-} ms" "≤ 300 ms" "$(verdict "${first:-}" "<=" 300)"
# The title screen as a player leaves it: once the start-up's chime has played and the audio
# device has been closed for want of anything to play (its SDL thread has gone).
audio_closed() { ! grep -qs '^SDLAudio' /proc/"$game_pid"/task/*/comm; }
wait_for "the audio device to close on the title screen" audio_closed
title=$(cpu_over)
row "CPU on the title screen over ${idle_seconds} s" "$title % of a core" "≤ 0.3 %" \
  "$(verdict "$title" "<=" 0.3)"
focus_window "$window"
xdotool key F2
wait_for "the red scoreboard after F2" count_is_over FF0000 0 0 300 20 20
xdotool mousemove $((client_x + 290)) $((client_y + 414))
sleep 1
serve=$(cpu_over)
row "CPU waiting for a serve over ${idle_seconds} s" "$serve % of a core" "≤ 0.5 %" \
  "$(verdict "$serve" "<=" 0.5)"
# Serves again whenever the ball is lost, for some seconds of play, with the mouse swung to
# and fro about 30 times a second, as a player's hand moves.
play_start=$SECONDS
for _ in $(seq 8); do
  xdotool click 1
  for x in $(seq 100 15 400); do
    command xdotool mousemove $((client_x + x)) $((client_y + 414)) 2>/dev/null
    sleep 0.02
  done
done
play_seconds=$((SECONDS - play_start))
peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' /proc/"$game_pid"/status)
quit_game
presents=$(sed -n 's/.*(\([0-9.]*\) presents\/s).*/\1/p' "$work/game.err")
row "presents a second during a frame, under Xvfb" "${presents:-} /s" "≥ 58 /s" \
  "$(verdict "${presents:-}" ">=" 58)"
row "peak memory (VmHWM) after play" "$peak MB" "≤ 80 MB" "$(verdict "$peak" "<=" 80)"

# The match was cut short by the quit: its replay is in the game's data folder.
echo "bench: replays (the match above, and a long simulated match played back headless)" >&2
recorded=$(ls "$XDG_DATA_HOME"/krelmo99/replays/*.replay.gz 2>/dev/null | head -n1)
if [[ -n $recorded ]]; then
  per_minute=$(awk -v b="$(wc -c <"$recorded")" -v s="$play_seconds" 'BEGIN { printf "%.1f", b * 60 / s / 1024 }')
fi
row "replay size, a minute of play with the mouse moving" "${per_minute:-} KB" \
  "≤ 8 KB (500 KB an hour)" "$(verdict "${per_minute:-}" "<=" 8)"
"$tools/krelmo-sim" --record "$work/long.replay.gz" "$here/../sim/examples/long_match.sim" \
  >/dev/null 2>"$work/record.err" || fail "krelmo-sim could not record: $(cat "$work/record.err")"
"$tools/krelmo-sim" --replay "$work/long.replay.gz" >"$work/replay.out" 2>&1 ||
  fail "the long replay did not play back as recorded: $(cat "$work/replay.out")"
speed=$(sed -n 's/^playback: .*(\([0-9]*\) steps a second)/\1/p' "$work/replay.out")
steps=$(sed -n 's/^ball steps: //p' "$work/replay.out")
row "headless playback of a replay (${steps:-} ball steps)" "${speed:-} steps/s" \
  "≥ 1,000× the game's pace (265,000 /s)" "$(verdict "${speed:-}" ">=" 265000)"

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)," \
  "load average $load_at_start at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo
echo "| Figure | Measured | Target | Verdict |"
echo "|---|---|---|---|"
for line in "${table[@]}"; do
  IFS='|' read -r name measured target result <<<"$line"
  echo "| $name | $measured | $target | $result |"
done
