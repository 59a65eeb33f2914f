#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the screenshot tool in build/ (preset dev) and renders docs/screenshot.png: the full
# window after a few moves. Needs no display: the window is drawn on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-$(nproc)}
cmake --preset dev >/dev/null
cmake --build --preset screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/vombel-screenshot docs/screenshot.png
echo "wrote docs/screenshot.png"
