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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
