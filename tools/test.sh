#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian 12 machine, checks the layers, the formatting and the licences, builds
# with GCC (preset dev, build/) and runs every test, then builds with clang under the sanitizers
# (preset asan, build-asan/) and runs the tests again but those of the environment, which give the
# same answer in every tree, warnings being errors in both; then the robustness stages of
# tools/ci-extra.sh (ThreadSanitizer, soaks, fuzzing, static analysis). QUICK=1 skips those.
# Prints each stage's time, and a table of them all at the end. JOBS sets how many compilers and
# tests run at once (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
export CMAKE_BUILD_PARALLEL_LEVEL=${JOBS:-$(nproc)} CTEST_PARALLEL_LEVEL=${JOBS:-$(nproc)}
source tools/stages.sh  # each stage's time, and the table of them all at the end

begin "setup: the Debian packages"
tools/setup.sh --dev
end

# 1. The layers: no include runs up a floor (the build checks the calls).
begin "1. layers"
tools/check_layers.sh
end

# 2. Every tracked C++ source formatted as .clang-format says (a tree without git: every source).
begin "2. format"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
fi
echo "format: every source as .clang-format says"
end

# 3. Every file's copyright and licence declared (SPDX headers, .reuse/dep5, LICENSES/). Outside
# git reuse would read the build trees too, so it runs only in a checkout.
begin "3. licences"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  reuse lint -q || { reuse lint; exit 1; }
  echo "reuse: every file's copyright and licence declared"
fi
end

# 4. Every test, built by GCC, and the tests of the environment (package, desktop, screen reader,
# command line), which this tree alone runs.
begin "4. GCC build and tests (build/)"
cmake --workflow --preset dev
end

# 5. The same tests built by clang, so the code stays compiler-neutral, with AddressSanitizer and
# UndefinedBehaviorSanitizer and asserts on; the short soaks are left to the robustness stages,
# which run them longer on the same programs.
begin "5. clang build and tests under the sanitizers (build-asan/)"
cmake --workflow --preset asan
end

# 6. The robustness stages, timed each by itself.
if [ "${QUICK:-0}" != 1 ]; then
  VOMBEL_ASAN_TESTED=1 tools/ci-extra.sh
fi
