#!/bin/sh
# winsim's commands on a scratch machine: each works, and bad use fails with
# a message and a non-zero status.
set -u
WINSIM=$1
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
M=$DIR/m
fails=0
ok() { "$@" >"$DIR/out" 2>&1 || { echo "FAILED (status $?): $*"; cat "$DIR/out"; fails=$((fails + 1)); }; }
bad() { if "$@" >"$DIR/out" 2>&1; then echo "SHOULD HAVE FAILED: $*"; fails=$((fails + 1)); elif ! grep -q "winsim:" "$DIR/out"; then echo "NO MESSAGE: $*"; fails=$((fails + 1)); fi; }
shows() { "$WINSIM" show "$M" >"$DIR/show" 2>&1; grep -qF -- "$1" "$DIR/show" || { echo "show lacks: $1"; fails=$((fails + 1)); }; }

ok "$WINSIM" new "$M" --os xp --usb-printer 256 --bulkusb 1.0.0.5 --not-admin
shows "OS: xp (Microsoft Windows XP"
shows "Administrator: no"
shows "USB printers: Printer1=256"
ok "$WINSIM" usb "$M" plug 512
shows "Printer2=512"
ok "$WINSIM" usb "$M" unplug
shows "USB printers: (none)"
ok "$WINSIM" hold "$M" 'c:\windows\system32\KERNEL32.DLL'
shows "Held files: C:\\WINDOWS\\system32\\kernel32.dll"
ok "$WINSIM" release "$M"
shows "Held files: (none)"
ok "$WINSIM" window "$M" open Uninstall
shows 'Windows: "Uninstall" (winsim)'
ok "$WINSIM" window "$M" close uninstall
shows "Windows: (none)"
ok "$WINSIM" spooler "$M" stop
shows "Spooler: stopped"
ok "$WINSIM" spooler "$M" start
shows "Spooler: running"
shows "Registry:"
shows "REGEDIT4"

bad "$WINSIM"
bad "$WINSIM" new "$DIR/x" --os vista64
bad "$WINSIM" new "$DIR/y"
bad "$WINSIM" new "$M" --os xp
bad "$WINSIM" show "$DIR/none"
bad "$WINSIM" usb "$M" plug lots
bad "$WINSIM" spooler "$M" pause
bad "$WINSIM" window "$M" close Nothing
bad "$WINSIM" job "$M" NoPrinter 1
bad "$WINSIM" job "$M" NoPrinter zero
bad "$WINSIM" frobnicate "$M"
printf '[Machine]\nOs=xp\nbroken\n' >"$M/machine.ini"
bad "$WINSIM" show "$M"
grep -q "machine.ini line 3" "$DIR/out" || { echo "damaged machine.ini not named"; cat "$DIR/out"; fails=$((fails + 1)); }

[ "$fails" -eq 0 ] && echo "winsim: all commands behaved" || exit 1
