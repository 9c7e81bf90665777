#!/bin/sh
# Builds the Win32 back end's contract program (64-bit, mingw-w64) and runs
# it under wine64 in a throw-away Wine prefix. Prints the program's lines and
# its summary "N passed, M failed"; exits non-zero when the build fails or a
# check fails.
#
#   tools/run-wine-contract.sh [BUILD_DIR]     (default: build/wine-contract)
set -eu

src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build/wine-contract}

wine=$(command -v wine64 || true)
if [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; fi
if [ -z "$wine" ]; then
    echo "run-wine-contract: wine64 is not installed (Debian: apt-get install wine64)" >&2
    exit 2
fi
wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-x86_64.cmake" >/dev/null
fi
ninja -C "$build" -j2 seam_contract >/dev/null

prefix=$(mktemp -d /tmp/drivanto-wine.XXXXXX)
cleanup() {
    WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe="$build/src/platform/win32/seam_contract.exe"

# The desktop checks make a real window, so Wine needs a display from its
# first start on (the prefix's desktop process keeps the display it found):
# without one, the prefix set-up and the run share a virtual one.
run="\"$wine\" wineboot -i >/dev/null 2>&1; \"$wine\" \"$exe\" >\"$prefix/contract.log\""
if [ -n "${DISPLAY:-}" ] || ! command -v xvfb-run >/dev/null; then
    [ -n "${DISPLAY:-}" ] ||
        echo "run-wine-contract: no DISPLAY and no xvfb-run; the window checks will fail" >&2
    if sh -c "$run"; then rc=0; else rc=$?; fi
else
    if xvfb-run -a sh -c "$run; rc=\$?; \"$wineserver\" -k; exit \$rc"; then rc=0; else rc=$?; fi
fi

tr -d '\r' <"$prefix/contract.log"
case $(tr -d '\r' <"$prefix/contract.log" | tail -n 1) in
    *" passed, 0 failed") [ "$rc" -eq 0 ] && exit 0 ;;
esac
exit 1
