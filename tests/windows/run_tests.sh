#!/usr/bin/env bash
# The Windows build's tests under Wine (make test-windows):
#   tests/windows/run_tests.sh BUILD_DIR LINUX_WRITER LINUX_SIM
# BUILD_DIR is the mingw-w64 build (build/windows); LINUX_WRITER and LINUX_SIM are
# settings_file_writer and krelmo-sim from the Linux build. Runs every *_tests.exe, a whole
# simulated match (the same as on Linux, and a Linux replay of it played back), and the
# registry round trip: the settings file as the game writes it on Linux (UTF-16, a high-score
# name holding "é" and "€") is imported into Wine's registry with `regedit /S`, unconverted, and
# every value read back with `reg query` must be the one the game stored; the key exported again
# with `regedit /E` must read the same through the game's store, in the Linux and the Windows
# build. Then krelmo99.exe itself in an X server of its own (win32_e2e.sh) and its installer
# (installer_test.sh). Wine lives in a prefix of its own under BUILD_DIR, made afresh for each
# run, so that nothing an earlier run left counts. Prints a summary; fails when anything did.
set -uo pipefail

build=$(realpath "${1:?usage: run_tests.sh BUILD_DIR LINUX_WRITER}")
linux_writer=$(realpath "${2:?usage: run_tests.sh BUILD_DIR LINUX_WRITER LINUX_SIM}")
linux_sim=$(realpath "${3:?usage: run_tests.sh BUILD_DIR LINUX_WRITER LINUX_SIM}")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wine=$(command -v wine64 || command -v wine) || { echo "FAIL: Wine is not installed"; exit 1; }
wineserver=$(command -v wineserver) || { echo "FAIL: wineserver is not installed"; exit 1; }

# Console programs only: no window, no debug chatter, no offer to install Mono or Gecko. The
# "C" locale fixes the code pages that Wine's programs write in (1252, and 437 for the console's).
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
unset DISPLAY WAYLAND_DISPLAY
logs=$build/test-logs
rm -rf "$logs" && mkdir -p "$logs"
start=$SECONDS
failures=()
summary=()

"$wineserver" -k 2>/dev/null
rm -rf "$WINEPREFIX"
echo "Making the Wine prefix $WINEPREFIX"
"$wine" wineboot -i >"$logs/wineboot.log" 2>&1 || {
  cat "$logs/wineboot.log"
  echo "FAIL: wineboot could not make $WINEPREFIX"
  exit 1
}
# Without a window manager Wine would wait 2 s at every window's close: it draws the frames
# itself instead.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$logs/managed.log" 2>&1 || {
  cat "$logs/managed.log"
  echo "FAIL: the prefix's X11 driver could not be set to unmanaged windows"
  exit 1
}
timeout 120 "$wineserver" -w || { echo "FAIL: the new prefix's programs did not end"; exit 1; }

# One Wine server for the whole run (each program then starts in a tenth of a second), ended
# with the run; its services started at once, on no terminal or pipe of ours.
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null' EXIT
"$wine" wineboot </dev/null >/dev/null 2>&1

# Runs a Windows program with its output in the file OUT, line ends made Unix ones, for at most
# five minutes. Never into a pipe: the services a program may start keep its output open as
# long as the server runs.
run_wine() {
  local out=$1 code
  shift
  timeout 300 "$wine" "$@" </dev/null >"$out" 2>&1
  code=$?
  [ $code -eq 124 ] && echo "(stopped after five minutes)" >>"$out"
  sed -i 's/\r$//' "$out"
  return $code
}
# The Windows name of a file here: drive Z: is the root of the Unix file system.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The unit and scenario tests, one program per folder of the game.
passed_total=0
skipped_total=0
programs=("$build"/tests/*_tests.exe)
[ -e "${programs[0]}" ] || { echo "FAIL: no test programs in $build/tests"; exit 1; }
for program in "${programs[@]}"; do
  name=$(basename "$program" .exe)
  run_wine "$logs/$name.log" "$program" --gtest_brief=1
  code=$?
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$logs/$name.log")
  skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?,\? .*$/\1/p; s/^\[  SKIPPED \] \([0-9]*\) tests\?\.$/\1/p' "$logs/$name.log" | head -1)
  passed_total=$((passed_total + ${passed:-0}))
  skipped_total=$((skipped_total + ${skipped:-0}))
  if [ $code -ne 0 ] || [ -z "$passed" ]; then
    failures+=("$name (exit code $code, log $logs/$name.log)")
    sed -n '/\[  FAILED  \]/p; /Failure$/,+4p' "$logs/$name.log" | head -40
    summary+=("$(printf '%-16s FAILED (exit code %s)' "$name" "$code")")
  else
    summary+=("$(printf '%-16s %4s passed, %s skipped' "$name" "$passed" "${skipped:-0}")")
  fi
done

# A whole two-player match through the simulator: the same match as on Linux, to the last
# line of its summary; and the Linux build's replay of it plays back as recorded.
script=$source_dir/tools/sim/examples/two_players.sim
replay=$build/two_players.replay.gz
"$linux_sim" --summary --record "$replay" "$script" >"$logs/krelmo-sim-linux.log" 2>&1
run_wine "$logs/krelmo-sim.log" "$build/tools/krelmo-sim.exe" --summary "$(windows_path "$script")"
run_wine "$logs/krelmo-sim-replay.log" "$build/tools/krelmo-sim.exe" --replay "$(windows_path "$replay")"
replayed=$?
if grep -q '^balls lost: 6$' "$logs/krelmo-sim.log" &&
  cmp -s "$logs/krelmo-sim.log" "$logs/krelmo-sim-linux.log" &&
  [ $replayed -eq 0 ] && grep -q '^result: as recorded$' "$logs/krelmo-sim-replay.log"; then
  summary+=("krelmo-sim       the two-player match as on Linux; its Linux replay played back alike")
else
  diff "$logs/krelmo-sim-linux.log" "$logs/krelmo-sim.log"
  cat "$logs/krelmo-sim-replay.log"
  failures+=("krelmo-sim: the match differs from Linux's, or its Linux replay did not play back")
  summary+=("krelmo-sim       FAILED")
fi

# The registry round trip.
round=$build/round-trip
rm -rf "$round" && mkdir -p "$round"
# Key TAB name TAB type TAB data lines, keys compared without regard to case as the registry
# does, sorted: `settings_file_writer --list` prints them so.
normalised() { awk -F '\t' '{ $1 = tolower($1) } 1' OFS='\t' "$1" | LC_ALL=C sort; }
# Whether two value lists agree; says how they differ when they do not.
same_values() {
  normalised "$1" >"$1.sorted"
  normalised "$2" >"$2.sorted"
  diff -u "$1.sorted" "$2.sorted" >"$2.diff" && return 0
  echo "$3 (- the game's file, + $4):"
  cat "$2.diff"
  return 1
}
starts_with_utf16_bom() { [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = fffe ]; }
round_trip() {
  local key="HKEY_LOCAL_MACHINE\\SOFTWARE\\By Tenvarre"
  "$linux_writer" "$round/linux.reg" || { echo "the Linux build could not write the settings file"; return 1; }
  # The Windows build writes the same bytes, through its own file calls.
  run_wine "$round/writer.log" "$build/tests/windows/settings_file_writer.exe" "$(windows_path "$round/windows.reg")" ||
    { cat "$round/writer.log"; echo "the Windows build could not write the settings file"; return 1; }
  cmp "$round/linux.reg" "$round/windows.reg" ||
    { echo "the Windows build wrote another file than the Linux build"; return 1; }
  starts_with_utf16_bom "$round/linux.reg" ||
    { echo "the settings file is not UTF-16 after a byte-order mark"; return 1; }
  "$linux_writer" --list "$round/linux.reg" >"$round/expected.txt" || { echo "the file lists no value"; return 1; }
  grep -q 'é€' "$round/expected.txt" || { echo "no name in the file holds é and €"; return 1; }

  # Imported as the game wrote it, with no conversion: the key goes first, so that nothing
  # stays from an earlier run.
  run_wine "$round/delete.log" reg delete "$key" /f
  run_wine "$round/regedit.log" regedit /S "$(windows_path "$round/linux.reg")" ||
    { cat "$round/regedit.log"; echo "regedit /S refused the settings file"; return 1; }
  # `reg query` writes to a file in the OEM code page (437 here, which has no euro sign); to a
  # console it writes Unicode, which Wine's console shows on a terminal in its encoding. So it
  # runs on a terminal of its own (script), in UTF-8, wide enough that no line is broken, and
  # the terminal's control sequences and CRs are taken out.
  LC_ALL=C.UTF-8 timeout 300 script -qec "stty cols 4000 rows 50; $(printf '%q ' "$wine" reg query "$key" /s)" \
    /dev/null </dev/null >"$round/query.raw" 2>&1
  sed -e 's/\x1b\][^\x07]*\x07//g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' "$round/query.raw" >"$round/query.txt"
  # "    NAME    TYPE    DATA" below each key's line; as key TAB name TAB type TAB data.
  awk -F '    ' '
    /^HKEY_/ { key = $0; next }
    /^    / { data = $4; for (i = 5; i <= NF; ++i) data = data "    " $i
               print key "\t" $2 "\t" $3 "\t" data }' "$round/query.txt" >"$round/query-values.txt"
  same_values "$round/expected.txt" "$round/query-values.txt" \
    "Wine's registry holds other values than the file" "reg query" || return 1

  # Exported back by regedit /E (UTF-16 after a byte-order mark, in Wine's own layout): the
  # game reads that file as it stands, on Linux and on Windows alike.
  run_wine "$round/export.log" regedit /E "$(windows_path "$round/exported.reg")" "$key" ||
    { cat "$round/export.log"; echo "regedit /E exported nothing"; return 1; }
  starts_with_utf16_bom "$round/exported.reg" ||
    { echo "regedit /E did not write UTF-16 after a byte-order mark"; return 1; }
  cp "$round/exported.reg" "$round/exported-for-windows.reg"
  "$linux_writer" --list "$round/exported.reg" >"$round/exported-linux.txt" ||
    { echo "the Linux build did not read the file regedit /E wrote"; return 1; }
  run_wine "$round/exported-windows.txt" "$build/tests/windows/settings_file_writer.exe" --list \
    "$(windows_path "$round/exported-for-windows.reg")" ||
    { cat "$round/exported-windows.txt"; echo "the Windows build did not read the file regedit /E wrote"; return 1; }
  same_values "$round/expected.txt" "$round/exported-linux.txt" \
    "the Linux build read other values from regedit's export" "read from the export" || return 1
  same_values "$round/expected.txt" "$round/exported-windows.txt" \
    "the Windows build read other values from regedit's export" "read from the export" || return 1
  echo "$(wc -l <"$round/query-values.txt") values"
}
if result=$(round_trip 2>&1); then
  summary+=("registry         the settings file as written imported by regedit /S: $(tail -1 <<<"$result") read back alike by reg query")
  summary+=("                 and regedit /E's export of them read alike by the Linux and Windows builds")
else
  printf '%s\n' "$result"
  failures+=("registry round trip (files in $round)")
  summary+=("registry         FAILED")
fi

# The program and its installer, on a display of their own; the console tests' server ends
# first, so that every window of the prefix comes from a process that knows the display.
"$wineserver" -k 2>/dev/null
timeout 120 "$wineserver" -w
trap - EXIT
gui() {
  local name=$1 script=$2
  shift 2
  if bash "$source_dir/tests/windows/$script" "$@" >"$logs/$name.log" 2>&1; then
    grep -v '^ALSA lib' "$logs/$name.log"
    summary+=("$(printf '%-16s %s' "$name" "$(tail -1 "$logs/$name.log")")")
  else
    cat "$logs/$name.log"
    failures+=("$name (log $logs/$name.log)")
    summary+=("$(printf '%-16s FAILED' "$name")")
  fi
}
gui win32-e2e win32_e2e.sh "$build/krelmo99.exe"
first_frame=$(grep -o 'first frame presented [0-9]* ms after start' "$logs/win32-e2e.log")
setup=("$build"/krelmo99-*-setup.exe)
if [ -f "${setup[0]}" ]; then
  gui installer installer_test.sh "${setup[0]}"
else
  failures+=("installer: no krelmo99-*-setup.exe in $build")
fi

echo
echo "Windows build under Wine ($("$wine" --version)), $((SECONDS - start)) s:"
printf '  %s\n' "${summary[@]}"
echo "  total: $passed_total tests passed, $skipped_total skipped (see the logs in $logs)"
[ -n "${first_frame:-}" ] && echo "  krelmo99.exe: $first_frame, $(stat -c %s "$build/krelmo99.exe") bytes"
if [ ${#failures[@]} -gt 0 ]; then
  echo "FAILED:"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
