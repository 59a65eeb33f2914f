#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, if any are missing.
set -euo pipefail

packages=(build-essential cmake g++ git qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev clang-14 libclang-rt-14-dev clang-tidy cppcheck clang-format
          xvfb xauth x11-apps imagemagick fonts-dejavu-core fonts-dejavu-extra
          llvm)  # llvm-symbolizer: readable stacks in sanitizer and fuzzer reports

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
