#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the Release tree in build/. VOMBEL_WERROR=ON makes warnings errors (the
# test command builds so).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOMBEL_WERROR="${VOMBEL_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
