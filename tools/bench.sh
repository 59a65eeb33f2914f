#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmark in the Release tree build/ (preset dev) and times the computer's turn over
# the positions in bench/positions.
# Arguments go to vombel-bench: [--repeat N] [--level easy|difficult] [--threads N]
# [FILE.vmb | DIR]...
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-$(nproc)}
cmake --preset dev >/dev/null
cmake --build --preset bench
exec build/bench/vombel-bench "$@"
