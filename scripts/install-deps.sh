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
# With --windows, also what `make test-windows` needs: the mingw-w64 cross compiler (posix
# threads) with zlib, GoogleTest's sources and Wine. Large, so never for `make test`.
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev googletest wine wine64)
fi
# With --web, also what `make web` and `make test-web` need: Emscripten (Debian's, whose system
# libraries come prebuilt), Chromium, and Node's npm for Playwright (tests/web/package-lock.json).
# A machine with Node.js and npm of its own (NodeSource's) keeps them: Debian's npm conflicts.
web=false
if [ "${1:-}" = "--web" ]; then
  web=true
  packages+=(emscripten chromium python3)
  command -v npm > /dev/null || packages+=(nodejs npm)
fi

# Playwright as the lock file pins it, with the machine's npm; nothing else is downloaded (no
# browsers: the tests drive Debian's Chromium).
install_playwright() {
  local folder
  folder="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
  # Installed once for each version of the lock file.
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
  if $web; then install_playwright; fi
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
if $web; then install_playwright; fi
