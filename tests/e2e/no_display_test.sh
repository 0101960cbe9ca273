#!/usr/bin/env bash
# End-to-end: with no display to open its window on, krelmo99 says so in one line on the
# error stream and ends with code 1, whether it finds out itself or from the toolkit.
set -uo pipefail

game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

expect_one_line_and_code_1() {
  local what=$1
  shift
  local status=0
  env "$@" XDG_RUNTIME_DIR="$work" timeout 20 "$game" >"$work/out" 2>"$work/err" || status=$?
  local lines
  lines=$(wc -l <"$work/err")
  if [[ $status -ne 1 ]]; then
    echo "FAIL: $what: exit code $status instead of 1"
    failed=1
  elif [[ $lines -ne 1 ]] || ! grep -q "^krelmo99: cannot open the game window: ." "$work/err"; then
    echo "FAIL: $what: expected one 'krelmo99: cannot open the game window: ...' line, got:"
    cat "$work/err"
    failed=1
  else
    echo "ok: $what: $(cat "$work/err")"
  fi
  ls "$work"/core* >/dev/null 2>&1 && { echo "FAIL: $what left a core file"; failed=1; }
}

# Neither variable set: the game knows before trying.
expect_one_line_and_code_1 "no DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
# A display nobody serves: the toolkit fails, and the game reports that instead of aborting.
expect_one_line_and_code_1 "a display with no server" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  DISPLAY=:987
exit $failed
