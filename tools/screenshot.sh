#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the game and renders docs/screenshot.png: the full window after a few moves. Needs no
# display: the window is drawn on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target vombel-screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/vombel-screenshot docs/screenshot.png
echo "wrote docs/screenshot.png"
