#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and runs every test; then the robustness stages of
# tools/ci-extra.sh (sanitizers, soak, fuzzing, static analysis). QUICK=1 skips those.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh --dev
tools/check_layers.sh
tools/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")
if [ "${QUICK:-0}" != 1 ]; then
  tools/ci-extra.sh
fi
