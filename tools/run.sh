#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian 12 machine with what the game needs, builds only the game and starts it.
# Its own build tree (preset game, build-game/): no tests, benchmark or tools are compiled.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-$(nproc)}
cmake --preset game >/dev/null
cmake --build --preset game
exec build-game/vombel-chess "$@"
