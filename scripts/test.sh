#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build with the simulated
# machine (plain and with AddressSanitizer/UBSan), then the 32-bit and 64-bit
# Windows programs, and the seam's contract program under wine64.
# Run as root on Debian 12 from the project folder: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

packages=(cmake ninja-build g++ libgtest-dev libncurses-dev libmspack-dev tmux
          mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb xauth)
install_packages "${packages[@]}"

jobs=$(nproc)
for preset in default asan; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done

for preset in windows-x86 windows-x64; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

if [ -x tools/run-wine-contract.sh ]; then
  echo "== wine64: seam contract"
  tools/run-wine-contract.sh build/windows-x64
fi
