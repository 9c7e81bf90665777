#!/bin/sh
# Runs the sample program with scripts: the commands, MESSAGE lines, dumps,
# the exit status and the error rules as a user of --script sees them.
set -u
program="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

# run NAME STATUS EXPECTED-STDOUT-GREP EXPECTED-STDERR-GREP < script
run() {
    name="$1"; want_status="$2"; want_out="$3"; want_err="$4"
    cat > "$dir/$name.txt"
    timeout 20 "$program" --script "$dir/$name.txt" > "$dir/$name.out" 2> "$dir/$name.err"
    status=$?
    ok=1
    [ "$status" = "$want_status" ] || { echo "$name: status $status, expected $want_status"; ok=0; }
    if [ -n "$want_out" ] && ! grep -F -q -- "$want_out" "$dir/$name.out"; then echo "$name: no '$want_out' on stdout"; ok=0; fi
    if [ -n "$want_err" ] && ! grep -F -q -- "$want_err" "$dir/$name.err"; then echo "$name: no '$want_err' on stderr"; ok=0; fi
    if [ $ok = 0 ]; then
        failures=$((failures + 1))
        echo "--- stdout"; cat "$dir/$name.out"; echo "--- stderr"; cat "$dir/$name.err"
    fi
}

run full 0 "RESULT ok fruit=西瓜 size=0 wrap=1 express=1 items=Label printer,Ticket printer" "" <<'S'
# every command once
select 1001 西瓜          # a GBK item named in UTF-8
select 1002 "Blue"
click 1004
click 1007
click 1102
check 1009 Label printer
check 1009 Ticket printer
check 1009 Receipt printer
uncheck 1009 Receipt printer
click 1020
wait
answer yes
click 1021
answer ok
key F1
click 1022
wait
dump
key ENTER
S
grep -F -q 'MESSAGE Sample | Do you like fruit?' "$dir/full.out" || { echo "full: no MESSAGE line"; failures=$((failures + 1)); }
grep -F -q '1010 listbox "" enabled shown items=["Ready.","Size: Small","Checked: 1","Checked: 2","Checked: 3","Checked: 2","Step 1",' "$dir/full.out" ||
    { echo "full: the log is not as expected"; cat "$dir/full.out"; failures=$((failures + 1)); }
grep -F -q '1011 progress "" enabled shown range=0..100 pos=100' "$dir/full.out" || { echo "full: bar"; failures=$((failures + 1)); }

run validation 0 "RESULT cancel" "" <<'S'
# OK without a fruit: the data exchange refuses and says why
answer ok
key ENTER
key ESCAPE
S
grep -F -q 'MESSAGE Sample | Pick a fruit first.' "$dir/validation.out" || { echo "validation: no message"; failures=$((failures + 1)); }

run no_answer 3 "MESSAGE Sample | Do you like fruit?" "line 1: a message box appeared with no answer queued" <<'S'
click 1021
S
run missing_control 3 "" "line 2: click 4711: there is no control 4711" <<'S'
# comment
click 4711
S
run hidden_control 3 "" "click 1012: control 1012 (etchedframe) is hidden" <<'S'
click 1012
S
run disabled_control 3 "" "click 1103: control 1103 (autocheckbox) is disabled" <<'S'
click 1103
S
run not_an_item 3 "" "select 1001: list 1001 has no item \"Mango\"" <<'S'
select 1001 Mango
S
run script_ends 3 "" "the script ended while dialog 200 (\"Sample dialog\") is still open" <<'S'
click 1004
S
run unknown 3 "" "line 1: unknown command \"press\"" <<'S'
press 1
S
run wrong_answer 3 "" "answer ok was given to a yes/no question" <<'S'
answer ok
click 1021
S
run left_over 3 "" "line 3: the program ended before this command ran" <<'S'
key ESCAPE
# after the end
dump
S
run unused_answer 3 "" "line 1: this answer was never taken" <<'S'
answer yes
key ESCAPE
S

# A refusal before any dialog: the box prints and takes the answer.
printf 'answer ok\n' | timeout 20 "$program" --script - --refuse > "$dir/refuse.out" 2> "$dir/refuse.err"
status=$?
if [ $status != 0 ] || ! grep -F -q 'MESSAGE Sample | Refused before the dialog.' "$dir/refuse.out"; then
    echo "refuse: status $status"; cat "$dir/refuse.out" "$dir/refuse.err"; failures=$((failures + 1))
fi

[ $failures = 0 ] && echo "scripts: all passed"
exit $failures
