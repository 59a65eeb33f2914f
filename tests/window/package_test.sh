#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# package_test.sh SOURCE_DIR: the metadata passes its checkers and the manual page names every
# shortcut the README names; the package's own build (preset package, build-package/: the game
# alone, hardened) makes a Debian package that lintian accepts, with the game's files where Debian
# wants them, computed library dependencies and its control fields; and the same sources built
# again in another folder (build-package-copy/) make the same package, byte for byte.
set -euo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH  # the package's times come from its changelog alone

appstreamcli validate --no-net "$source/window/io.github.vombel.chess.metainfo.xml"
desktop-file-validate "$source/window/io.github.vombel.chess.desktop"
# man prints the page's roff warnings on standard error.
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$source/window/vombel-chess.6" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man page warnings: $warnings"; exit 1; }
keys=$(sed -n '/^Shortcuts:/,/^$/p' "$source/README.md" | grep -o 'Ctrl+[^ ,.)]*\|Escape' | sort -u)
[ -n "$keys" ] || { echo "no shortcut found in the README"; exit 1; }
man_keys=$(sed -n '/^\.SH KEYS/,/^\.SH [^K]/p' "$source/window/vombel-chess.6")
for key in $keys; do
  grep -qFw -- "$key" <<<"$man_keys" || { echo "the manual page's KEYS lack $key"; exit 1; }
done

(cd "$source" && cmake --workflow --preset package >"$work/build.log" 2>&1) ||
  { cat "$work/build.log"; exit 1; }
deb=$(ls "$source"/build-package/vombel-chess_*_*.deb)

# Errors, warnings and the informational tags (among them the hardening ones) fail; pedantic
# tags are shown. lintian warns on standard error when run as root.
lintian --display-info --pedantic --fail-on error,warning,info "$deb" \
  2> >(grep -v 'root privileges' >&2)
echo "lintian: no error, warning or info"

fields=$(dpkg-deb -f "$deb" Package Section Depends Maintainer)
echo "$fields"
grep -q '^Section: games$' <<<"$fields"
grep -q '^Maintainer: .\+ <.\+@.\+>$' <<<"$fields"
for dependency in libqt6widgets6 libc6 qt6-qpa-plugins; do  # the first two from dpkg-shlibdeps
  grep -q "^Depends:.*\b$dependency\b" <<<"$fields" || { echo "no dependency $dependency"; exit 1; }
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/games/vombel-chess ./usr/share/applications/io.github.vombel.chess.desktop \
            ./usr/share/metainfo/io.github.vombel.chess.metainfo.xml \
            ./usr/share/man/man6/vombel-chess.6.gz \
            ./usr/share/doc/vombel-chess/copyright ./usr/share/doc/vombel-chess/changelog.gz \
            ./usr/share/icons/hicolor/scalable/apps/vombel-chess.svg; do
  grep -qx "$path" <<<"$files" || { echo "missing $path"; exit 1; }
done
for size in 16 32 48 64 96 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/vombel-chess.png" <<<"$files" ||
    { echo "missing the ${size}px icon"; exit 1; }
done
# Only the game: no test, benchmark or driver program, and nothing in /usr/bin.
[ "$(grep -c '^./usr/\(bin\|games\)/.' <<<"$files")" -eq 1 ] ||
  { echo "more than the game among the programs"; exit 1; }

# The compressed files are whole and the same as their sources.
dpkg-deb -x "$deb" "$work/root"
cmp <(gzip -dc "$work/root/usr/share/man/man6/vombel-chess.6.gz") "$source/window/vombel-chess.6"
cmp <(gzip -dc "$work/root/usr/share/doc/vombel-chess/changelog.gz") "$source/cmake/debian/changelog"
# The changelog's version is the package's.
version=$(dpkg-deb -f "$deb" Version)
[ "$(dpkg-parsechangelog -l "$source/cmake/debian/changelog" -S Version)" = "$version" ] ||
  { echo "the changelog's version is not $version"; exit 1; }

# A copy of the sources in another folder, its files with other times, makes the same package:
# nothing in it depends on the clock, the files' times or the folder it was built in. The copy
# and its build tree (build-package-copy/) are kept between runs, as build-package/ is, and a file
# is copied again when its bytes differ, so that only the first run compiles the game twice.
copy=$source/build-package-copy
(cd "$source" && find . \( -path './build*' -o -path ./.git \) -prune -o -type f -print) |
  while IFS= read -r file; do
    cmp -s "$source/$file" "$copy/$file" ||
      { mkdir -p "$(dirname "$copy/$file")" && cp "$source/$file" "$copy/$file"; }
  done
(cd "$copy" && cmake --workflow --preset package >"$work/build-copy.log" 2>&1) ||
  { cat "$work/build-copy.log"; exit 1; }
again=$(ls "$copy"/build-package/vombel-chess_*_*.deb)
unpack() {  # unpack DEB DIR: the archive's members, and in DIR/data and DIR/control their files
  mkdir -p "$2/data" "$2/control"
  (cd "$2" && ar x "$1")
  tar -C "$2/data" -xf "$2"/data.tar.*
  tar -C "$2/control" -xf "$2"/control.tar.*
}
if ! cmp "$deb" "$again"; then
  # Which member of the archive differs, and in it which time, mode or file.
  unpack "$deb" "$work/first"
  unpack "$again" "$work/again"
  for member in $(ar t "$deb"); do cmp "$work/first/$member" "$work/again/$member" || true; done
  diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again") || true
  diff -r "$work/first/data" "$work/again/data" || true
  diff -r "$work/first/control" "$work/again/control" || true
  echo "the package built again differs"
  exit 1
fi
echo "package ok, rebuilt bit for bit: $(basename "$deb")"
(cd "$source" && sha256sum "${deb#"$source"/}" "${again#"$source"/}")
