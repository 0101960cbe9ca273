#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the game need.
# Non-interactive; uses sudo only when not already root. Skips the install when all are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libsdl2-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick
  desktop-file-utils appstream
)
# With --windows, also what `make windows`, `make windows-installer` and `make test-windows`
# need: the mingw-w64 cross compiler (posix threads) with zlib, GoogleTest's sources, Wine and
# NSIS. Large, so never for `make test`.
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev googletest wine wine64
    nsis)
fi
# With --web, also what `make web` and `make serve-web` need: Debian's Emscripten (its system
# libraries come prebuilt) and Python for the server. With --web-test, also what
# `make test-web` needs: Chromium, and Playwright as tests/web/package-lock.json pins it,
# installed with the machine's npm. A machine whose Node.js came with its own npm keeps it:
# Debian's npm package conflicts with that Node.js, so it is only installed where there is
# no Node.js at all. Nothing is downloaded for Playwright beyond its package (no browsers).
web=false
web_test=false
case "${1:-}" in
  --web) web=true ;;
  --web-test) web=true web_test=true ;;
esac
if $web; then packages+=(emscripten python3); fi
if $web_test; then
  packages+=(chromium)
  if ! command -v node > /dev/null; then
    packages+=(nodejs npm)
  elif ! command -v npm > /dev/null; then
    echo "install-deps: this Node.js has no npm; install the npm that belongs to it" >&2
    exit 1
  fi
fi

# Installed once for each version of the lock file.
install_playwright() {
  local folder
  folder="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
  if ! cmp -s "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"; then
    PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix "$folder" --no-audit --no-fund
    cp "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  if $web_test; then install_playwright; fi
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
if $web_test; then install_playwright; fi
