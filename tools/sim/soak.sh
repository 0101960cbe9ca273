#!/usr/bin/env bash
# Plays whole matches through krelmo-sim, built with AddressSanitizer and UBSan, for a while:
# both variants and one to four players, each in a process of its own that plays match after
# match. Fails on any sanitizer report, on a match that does not reach its end, and on memory
# that grows: the peak resident memory of each process is sampled once it has played a few
# matches (its script read, the allocator warm) and again at its end, and may grow by no more
# than a little in between. A short run first sets the pace of each kind of match.
# Usage: soak.sh path/to/krelmo-sim [seconds]    (make soak: SOAK_SECONDS, 1800 by default)
set -uo pipefail
sim=$1
seconds=${2:-1800}
short_matches=2
# Peak memory a run may add after its first matches, in kB: the sanitizer's own quarantine
# and stack records filling up, and page noise (a leak of a few kB a match exceeds it within
# minutes).
growth_allowance_kb=${SOAK_GROWTH_KB:-2048}
[[ -x $sim ]] || { echo "FAIL: $sim is not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Freed memory is held back only briefly, so that the sanitizer's own quarantine does not
# look like growth; every error stops the run with its report.
export ASAN_OPTIONS=quarantine_size_mb=1:detect_leaks=1:halt_on_error=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# A script of MATCHES matches of one variant and player count: every player keeps the ball up
# for a while with the autopilot at an offset of its own, then lets it go, until nobody has a
# ball left; then the next match starts.
write_script() {
  local variant=$1 players=$2 matches=$3 seed=$4 m turn
  echo "seed $seed"
  echo "variant $variant"
  echo "players $players"
  for ((m = 0; m < matches; ++m)); do
    echo "start"
    for ((turn = 0; turn < 5 * players; ++turn)); do
      echo "serve"
      echo "autopilot $(((seed + m * 7 + turn * 5) % 41 - 20))"
      echo "frames $((20 + (seed + m + turn) % 60))"
      echo "autopilot off"
      echo "mouse $(((turn % 2) * 540 + 20))"
      echo "frames 30"
    done
    # Balls won by the score go too, each past a paddle that stands aside.
    for ((turn = 0; turn < 4 * players; ++turn)); do
      echo "serve"
      echo "mouse $(((turn % 2) * 540 + 20))"
      echo "frames 30"
    done
  done
}

# Plays one script, sampling its peak resident memory (VmHWM) every half second; prints the
# peak once EARLY seconds have passed, the peak at the end (kB), and the seconds it took.
play() {
  local script=$1 log=$2 early_after=$3 start=$SECONDS pid state hwm early= last=0 status=0
  "$sim" --summary "$script" >"$log" 2>&1 &
  pid=$!
  while :; do
    state=$(awk '/^State:/ { print $2 }' /proc/"$pid"/status 2>/dev/null)
    [[ -z $state || $state == Z ]] && break
    hwm=$(awk '/^VmHWM:/ { print $2 }' /proc/"$pid"/status 2>/dev/null)
    [[ -n $hwm ]] && last=$hwm
    [[ -z $early ]] && ((SECONDS - start >= early_after)) && early=$last
    sleep 0.5
  done
  wait "$pid" || status=$?
  if ((status != 0)); then
    echo "FAIL: krelmo-sim stopped with code $status on $script:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
  if grep -q "runtime error\|Sanitizer" "$log"; then
    echo "FAIL: a sanitizer report on $script:" >&2
    grep -m 20 -A 10 "runtime error\|Sanitizer" "$log" >&2
    exit 1
  fi
  grep -q "^match: not running" "$log" ||
    { echo "FAIL: the last match of $script did not end" >&2; cat "$log" >&2; exit 1; }
  echo "${early:-$last} $last $((SECONDS - start))"
}

kinds=()
for variant in krelmo varnak; do
  for players in 1 2 3 4; do kinds+=("$variant $players"); done
done
per_kind=$((seconds / ${#kinds[@]}))
total_matches=0
seed=1
for kind in "${kinds[@]}"; do
  read -r variant players <<<"$kind"
  name="$variant-$players"
  write_script "$variant" "$players" "$short_matches" "$seed" >"$work/$name-short.sim"
  read -r _ _ short_s < <(play "$work/$name-short.sim" "$work/$name-short.log" 0) || exit 1
  # As many matches as fill this kind's share of the time, at the short run's pace.
  matches=$((per_kind * short_matches / (short_s > 0 ? short_s : 1)))
  ((matches > 4 * short_matches)) || matches=$((4 * short_matches))
  write_script "$variant" "$players" "$matches" "$seed" >"$work/$name-long.sim"
  read -r early_kb end_kb long_s < <(play "$work/$name-long.sim" "$work/$name-long.log" \
    $((short_s > 0 ? short_s : 1))) || exit 1
  echo "$variant, $players player(s): $matches matches in $long_s s, peak memory" \
    "$early_kb kB after the first, $end_kb kB at the end"
  if ((end_kb > early_kb + growth_allowance_kb)); then
    echo "FAIL: memory grew from $early_kb kB to $end_kb kB over $matches matches" >&2
    exit 1
  fi
  total_matches=$((total_matches + short_matches + matches))
  seed=$((seed + 1))
done
echo "soak: $total_matches matches in $SECONDS s, no sanitizer report, no growth of memory"
