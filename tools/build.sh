#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds every target in build/ (preset dev: Release, warnings as errors).
# JOBS sets how many compilers run at once (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-$(nproc)}
cmake --preset dev >/dev/null
cmake --build --preset dev
