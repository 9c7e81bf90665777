#!/bin/sh
# Rebuilds the fixture DLLs from their sources (mingw-w64 cross tools).
set -e
cd "$(dirname "$0")"
i686-w64-mingw32-windres version.rc -O coff -o version32.o
i686-w64-mingw32-gcc -shared -nostdlib -s -Wl,-e,_DllMainCRTStartup@12 -o ../fixture32.dll fixture.c version32.o
x86_64-w64-mingw32-windres version.rc -O coff -o version64.o
x86_64-w64-mingw32-gcc -shared -nostdlib -s -Wl,-e,DllMainCRTStartup -o ../fixture64.dll fixture.c version64.o
rm -f version32.o version64.o
