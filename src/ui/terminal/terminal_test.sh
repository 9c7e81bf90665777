#!/bin/sh
# Drives the sample dialog program in the terminal front end under tmux:
# drawing, focus, drop-downs, radio groups, check boxes, scrolling text, list
# views, a worker filling the bar, message boxes, the system menu, the result.
set -u
program="$1"
session="ui_terminal_$$"
out=$(mktemp)
trap 'tmux kill-session -t "$session" 2>/dev/null; rm -f "$out"' EXIT

tmux new-session -d -s "$session" -x 100 -y 32 \
    "env LANG=C.UTF-8 TERM=xterm-256color '$program'; echo EXIT=\$?; sleep 60" || { echo "tmux failed"; exit 1; }

screen() { tmux capture-pane -t "$session" -p; }
# expect TEXT [what]: waits up to 5 s for TEXT on the screen.
expect() {
    i=0
    while [ $i -lt 50 ]; do
        if screen | grep -F -q -- "$1"; then return 0; fi
        sleep 0.1
        i=$((i + 1))
    done
    echo "FAILED: expected '$1' ${2:-}"
    screen
    exit 1
}
# absent TEXT [what]: waits up to 5 s for TEXT to go.
absent() {
    i=0
    while [ $i -lt 50 ]; do
        if ! screen | grep -F -q -- "$1"; then return 0; fi
        sleep 0.1
        i=$((i + 1))
    done
    echo "FAILED: did not expect '$1' ${2:-}"
    screen
    exit 1
}
keys() { for k in "$@"; do tmux send-keys -t "$session" "$k"; sleep 0.15; done; }

expect "Sample dialog" "(the caption)"
expect "┌ Size"
expect "(•) Medium" "(the radio group's initial choice)"
expect "[ ] Gift wrap"
expect "< OK >" "(the default button)"
expect "Express delivery is free today" "(the child page)"
expect "Line 1 of the agreement text."
expect "[ ] Receipt printer" "(the list view's check boxes)"
expect "▕░░░" "(the empty progress bar)"
expect "F1 help" "(the status line)"

# The focus starts on the default button; after Cancel and the page's check
# box it wraps to the first list. The drop-down list opens, shows GBK items as
# UTF-8 and sorted; Down Down Enter picks Cherry.
keys Tab Tab Tab Space
expect "│西瓜" "(the open drop-down with a GBK item)"
keys Down Down Enter
expect "Fruit:   Cherry" "(the chosen fruit)"

# Radio buttons: Space checks Small, the arrows move through the group.
keys Tab Tab Space
expect "(•) Small"
keys Down Down
expect "(•) Large"
expect "( ) Small"

# The check box toggles and its tooltip shows in the status line.
keys Tab Space
expect "[x] Gift wrap"
expect "Wrap the fruit in paper" "(the tooltip)"

# The read-only text scrolls.
keys Tab NPage
expect "Line 6 of the agreement text."
absent "Line 1 of the agreement text."

# The list view's check box.
keys Tab Space
expect "[x] Receipt printer"

# Run: a worker fills the bar and the log through calls on the UI thread.
keys Tab Tab Space
expect "Step 10" "(the worker's log lines)"
expect "████████████████████████████████" "(the full bar)"

# A question over the dialog; Y answers it.
keys Tab Enter
expect "Do you like fruit?"
expect "< Yes >  [ No ]" "(Yes has the focus)"
keys y
expect "Answer: yes"

# F1 asks for help: a message box over the dialog, Enter closes it.
keys F1
expect "Choose a fruit and a size, then press OK."
keys Enter
absent "Choose a fruit and a size"

# The system menu and the About box.
keys F10
expect "About Sample..."
keys Up Enter
expect "Sample 1.0" "(the About box)"
keys Enter
absent "Sample 1.0"

# The timer-driven progress dialog paints its text and ends itself.
keys Tab Space
expect "Please wait..."
expect "Progress: 100"

# OK through the default button: the choices come back through the data exchange.
keys Tab Enter
expect "EXIT=0"
expect "RESULT ok fruit=Cherry size=2 wrap=1 express=0 items=Receipt printer"
echo "terminal front end: all checks passed"
