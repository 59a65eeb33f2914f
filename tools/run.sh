#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian 12 machine with what the game needs, builds only the game and starts it.
# Its own build tree (build-game/): no tests, benchmark or tools are compiled.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build-game -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVOMBEL_BENCH=OFF \
  >/dev/null
cmake --build build-game -j"$(nproc)" --target vombel-chess
exec build-game/vombel-chess "$@"
