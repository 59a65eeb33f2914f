#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Release tree and times the computer's turn over the positions in bench/positions.
# Arguments go to vombel-bench: [--repeat N] [--level easy|difficult] [FILE.vmb | DIR]...
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOMBEL_BENCH=ON >/dev/null
cmake --build build -j2 --target vombel-bench
exec build/bench/vombel-bench "$@"
