#!/usr/bin/env bash
# Builds everything and runs every test: the Linux build with the simulated
# machine (plain and with AddressSanitizer/UBSan), then the 32-bit and 64-bit
# Windows programs, and the seam's contract program under wine64.
# Run as root on Debian 12 from the project folder: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ libgtest-dev libncurses-dev libmspack-dev tmux
          mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

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
