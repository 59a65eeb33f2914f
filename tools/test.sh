#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian 12 machine, checks the layers and the formatting, builds with GCC and
# runs every test, then builds with clang (build-clang/) and runs every test again, warnings being
# errors in both; then the robustness stages of tools/ci-extra.sh (sanitizers, soak, fuzzing,
# static analysis). QUICK=1 skips those.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --dev
tools/check_layers.sh

# Every tracked C++ source formatted as .clang-format says (a tree without git: every source).
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
fi
echo "format: every source as .clang-format says"

# Every file's copyright and licence declared (SPDX headers, .reuse/dep5, LICENSES/). Outside git
# reuse would read the build trees too, so it runs only in a checkout.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  reuse lint -q || { reuse lint; exit 1; }
  echo "reuse: every file's copyright and licence declared"
fi

VOMBEL_WERROR=ON tools/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")

# The same tests built by clang, so the code stays compiler-neutral.
CC=clang-14 CXX=clang++-14 cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Release \
  -DVOMBEL_WERROR=ON >/dev/null
cmake --build build-clang -j"$(nproc)"
(cd build-clang && ctest --output-on-failure -j"$(nproc)")

if [ "${QUICK:-0}" != 1 ]; then
  tools/ci-extra.sh
fi
