#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that are missing, as root or via sudo.
#   tools/setup.sh         what building and running the game needs (tools/run.sh)
#   tools/setup.sh --dev   that, plus what the tests, the robustness stages, the package and the
#                          picture generator need (tools/test.sh, CI)
set -euo pipefail

# The game: compiler and CMake, Qt 6 Widgets (its CMake package needs the OpenGL headers) and
# Multimedia (the beep), XCB (the window reads some X11 events itself), and the fonts the fixed
# layout is measured with.
game=(build-essential cmake qt6-base-dev libgl-dev libxcb1-dev qt6-multimedia-dev
      fonts-dejavu-core fonts-dejavu-extra)

dev=(git
     libgtest-dev                              # the test suites
     clang-14 libclang-rt-14-dev llvm          # fuzzing; llvm-symbolizer for sanitizer stacks
     clang-tidy cppcheck clang-format          # static analysis (with run-clang-tidy), formatting
     appstream desktop-file-utils man-db file  # the metadata and package test (cpack needs file)
     lintian reuse                             # the package's and the files' licence checks
     python3-cairo                             # tools/make_pictures.py
     xvfb xauth xdotool x11-utils              # the desktop start test, and looking at the
     imagemagick                               # real window by hand
     python3-pyatspi at-spi2-core dbus-daemon  # the screen reader test (AT-SPI client)
     orca speech-dispatcher openbox            # the test with Orca itself
     pgn-extract)                              # replays exported games (tests/notation/)

case "${1:-}" in
  "") packages=("${game[@]}") ;;
  --dev) packages=("${game[@]}" "${dev[@]}") ;;
  *) echo "usage: tools/setup.sh [--dev]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
