# Shared by the scripts that play the Windows program under Wine in an X server of their own:
# Wine found, quiet, in the run's prefix (WINEPREFIX), the end-to-end helpers loaded and a
# display started; the Wine server of that display ends with the script, after the game and
# before the X server. Sourced after `set -uo pipefail`.
: "${WINEPREFIX:?WINEPREFIX must name the prefix of this test run}"
wine=$(command -v wine64 || command -v wine) || { echo "FAIL: Wine is not installed"; exit 1; }
wineserver=$(command -v wineserver) || { echo "FAIL: wineserver is not installed"; exit 1; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
game_key="HKCU\\Software\\By Tenvarre\\Krelmo'99\\v2"
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e_lib.sh"
e2e_init
trap '"$wineserver" -k 2>/dev/null; e2e_cleanup' EXIT

# Runs a Windows console program into the file OUT (never a pipe: Wine's services keep it open),
# line ends made Unix ones.
run_wine() {
  local out=$1
  shift
  timeout 120 "$wine" "$@" </dev/null >"$out" 2>&1
  local code=$?
  sed -i 's/\r$//' "$out"
  return $code
}
