#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
exec build/vombel-chess
