#!/bin/sh
# mkpe's command line: good use writes a PE image with the trailer after it,
# bad use fails with a message and a non-zero status and writes nothing.
set -u
MKPE=$1
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
fails=0
ok() { "$@" >"$DIR/out" 2>&1 || { echo "FAILED (status $?): $*"; cat "$DIR/out"; fails=$((fails + 1)); }; }
bad() {
    rm -f "$DIR/bad.dll"
    if "$@" >"$DIR/out" 2>&1; then echo "SHOULD HAVE FAILED: $*"; fails=$((fails + 1));
    elif ! grep -q "mkpe:" "$DIR/out"; then echo "NO MESSAGE: $*"; fails=$((fails + 1));
    elif [ -e "$DIR/bad.dll" ]; then echo "WROTE A FILE: $*"; fails=$((fails + 1)); fi
}
expect() {   # expect FILE OFFSET HEXBYTES
    got=$(od -An -tx1 -j "$2" -N $(( $(echo "$3" | wc -w) )) "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//')
    [ "$got" = "$3" ] || { echo "$1 at $2: got '$got', want '$3'"; fails=$((fails + 1)); }
}

ok "$MKPE" "$DIR/a.dll" --version 1.0.0.6 --product "Bulk USB" --description "USB bulk driver"
expect "$DIR/a.dll" 0 "4d 5a"             # MZ
expect "$DIR/a.dll" 64 "50 45 00 00"      # PE signature at e_lfanew 0x40
ok "$MKPE" "$DIR/b.dll" --version 2.1 --trailer "SIM-PORTS=KSCOM1:,KSCOM2:"
tail -n 1 "$DIR/b.dll" | grep -qx "SIM-PORTS=KSCOM1:,KSCOM2:" || { echo "trailer missing"; fails=$((fails + 1)); }
printf 'SIM-EXPORTS=OpenDeviceX\nSIM-PORTS=A:\n' >"$DIR/trailer"
ok "$MKPE" "$DIR/c.dll" --version 1.0.0.0 --trailer-file "$DIR/trailer" --language 804 --codepage 3a8
grep -qa "^SIM-EXPORTS=OpenDeviceX$" "$DIR/c.dll" || { echo "trailer file missing"; fails=$((fails + 1)); }

bad "$MKPE"
bad "$MKPE" "$DIR/bad.dll"
bad "$MKPE" "$DIR/bad.dll" --product X
bad "$MKPE" "$DIR/bad.dll" --version 1.x
bad "$MKPE" "$DIR/bad.dll" --version 1.2.3.4.5
bad "$MKPE" "$DIR/bad.dll" --version 1.0 --language zz
bad "$MKPE" "$DIR/bad.dll" --version 1.0 --trailer a --trailer-file "$DIR/trailer"
bad "$MKPE" "$DIR/bad.dll" --version 1.0 --trailer-file "$DIR/none"
bad "$MKPE" "$DIR/bad.dll" --version 1.0 --bogus 1
bad "$MKPE" "$DIR/no/such/folder/x.dll" --version 1.0

[ "$fails" -eq 0 ] && echo "mkpe: all cases passed"
exit "$fails"
