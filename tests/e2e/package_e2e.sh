#!/usr/bin/env bash
# The Debian package as a player gets it: made by CPack from the build tree, unpacked into a
# scratch root with dpkg -x, its launcher and AppStream description valid, its icons in the
# theme sizes, and its own binary showing the game's window.
# Usage: package_e2e.sh path/to/krelmo99 build-dir path/to/cpack
set -uo pipefail
game=$1 build=$2 cpack=$3
source "$(dirname "$0")/e2e_lib.sh"
for tool in dpkg-deb desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
e2e_init

# With the tree already built (as `make test` leaves it) cpack only installs, strips and reads
# the libraries' dependencies: some 10 s.
timeout 120 "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack did not make the package"; }
deb=$(ls "$work"/package/krelmo99_*.deb 2>/dev/null | head -n1)
[[ -n "$deb" ]] || { cat "$work/cpack.log"; fail "cpack made no krelmo99_*.deb"; }
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libsdl2-2.0-0; do
  [[ $depends == *"$lib"* ]] || fail "the package does not depend on $lib: $depends"
done

root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x could not unpack $deb"
share=$root/usr/share
desktop=$share/applications/com.tenvarre.krelmo99.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
grep -qx 'Exec=krelmo99' "$desktop" || fail "the launcher does not start krelmo99"
appstreamcli validate --no-net "$share/metainfo/com.tenvarre.krelmo99.metainfo.xml" ||
  fail "appstreamcli refused the metainfo file"
for size in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/com.tenvarre.krelmo99.png
  [[ $(identify -format '%wx%h' "$icon" 2>/dev/null) == "${size}x$size" ]] ||
    fail "no $size x $size icon at ${icon#"$root"}"
done

game=$root/usr/bin/krelmo99
[[ -x "$game" ]] || fail "the package holds no usr/bin/krelmo99"
start_game
quit_game
echo "package end-to-end: passed ($(basename "$deb"))"
