#!/usr/bin/env bash
# Runs the setup wizard on the bundled demo medium against a new simulated
# Windows XP machine, in the terminal.
# Run as root on Debian 12 from the project folder: scripts/demo.sh [--os NAME]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

packages=(cmake ninja-build g++ libgtest-dev libncurses-dev libmspack-dev)
install_packages "${packages[@]}"

os=xp
if [ "${1:-}" = "--os" ] && [ -n "${2:-}" ]; then os=$2; fi

cmake --preset default >/dev/null
cmake --build --preset default --target drivanto winsim >/dev/null

machine=${DRIVANTO_DEMO_MACHINE:-/tmp/drivanto-demo-machine}
rm -rf "$machine"
build/default/tools/winsim/winsim new "$machine" --os "$os" --usb-printer 8
status=0
build/default/src/setup/drivanto --machine "$machine" --medium media/demo || status=$?
echo
echo "The simulated machine afterwards (build/default/tools/winsim/winsim show $machine):"
build/default/tools/winsim/winsim show "$machine" | head -n 60
exit $status
