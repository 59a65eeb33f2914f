#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# package_test.sh BUILD_DIR SOURCE_DIR: the metadata passes its checkers, and `cpack -G DEB` makes
# a package with the game's files, computed library dependencies and its control fields.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

appstreamcli validate --no-net "$source/window/io.github.vombel.chess.metainfo.xml"
desktop-file-validate "$source/window/io.github.vombel.chess.desktop"
# man prints the page's roff warnings on standard error.
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$source/window/vombel-chess.6" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man page warnings: $warnings"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log) ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/vombel-chess_*_*.deb)
fields=$(dpkg-deb -f "$deb" Package Section Depends Maintainer)
echo "$fields"
grep -q '^Section: games$' <<<"$fields"
grep -q '^Maintainer: .\+ <.\+@.\+>$' <<<"$fields"
for dependency in libqt6widgets6 libc6 qt6-qpa-plugins; do  # the first two from dpkg-shlibdeps
  grep -q "^Depends:.*\b$dependency\b" <<<"$fields" || { echo "no dependency $dependency"; exit 1; }
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/vombel-chess ./usr/share/applications/io.github.vombel.chess.desktop \
            ./usr/share/metainfo/io.github.vombel.chess.metainfo.xml \
            ./usr/share/man/man6/vombel-chess.6 \
            ./usr/share/icons/hicolor/scalable/apps/vombel-chess.svg; do
  grep -qx "$path" <<<"$files" || { echo "missing $path"; exit 1; }
done
for size in 16 32 48 64 96 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/vombel-chess.png" <<<"$files" ||
    { echo "missing the ${size}px icon"; exit 1; }
done
# Only the game: no test, benchmark or driver program.
[ "$(grep -c '^./usr/bin/.' <<<"$files")" -eq 1 ] || { echo "more than the game in bin"; exit 1; }
echo "package ok: $(basename "$deb")"
