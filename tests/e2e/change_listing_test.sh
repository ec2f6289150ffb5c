#!/bin/sh
# Drives the change-listing check box of the real window under Xvfb: the space bar toggles it and
# nothing more; a mouse check asks first, and Yes has the diagnostic tool's cabinet unpacked into res.
# Usage: change_listing_test.sh <kestrafen executable>
set -u
. "$(dirname "$0")/../support/desktop.sh"
exe="$1"
work=$(mktemp -d)
prog=""
trap 'kill $prog $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM
fail() { echo "FAIL: $1"; exit 1; }

sample_machine
folder="$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen"
journal="$KESTRAFEN_MACHINE/journal.log"
runs() { n=$(grep -c 'srdiag.exe /CabName:res.cab' "$journal" 2>/dev/null); echo "${n:-0}"; }
asked() { has_window '^Confirmation$'; }
not_asked() { no_window '^Confirmation$'; }

start_desktop

"$exe" 2>/dev/null &
prog=$!
wait_for 100 has_window "Kestrafen 1.3D" || fail "main window never appeared"
wait_for 100 test -f "$folder/KestrafenTemp.ini" || fail "the points were never listed"
win=$(window "Kestrafen 1.3D")
# The box sits in the group box Autres (5, 408) at (568, 7), 129 x 17.
box() { xdotool mousemove --window "$win" 580 423 click 1; }

# The first click may come while the list is still being made: it counts once the question shows.
click_until "$win" 580 423 asked || fail "a mouse check asked nothing"
keys_to "$(window '^Confirmation$')" Escape
wait_for 50 not_asked || fail "the question stayed"
[ "$(runs)" = 0 ] || fail "the tool ran after No"

# The box has the focus now: the space bar checks it without asking (given time to ask, it does not).
keys_to "$win" space
wait_for 15 asked && fail "the space bar asked the question"
[ "$(runs)" = 0 ] || fail "the space bar ran the tool"

box # unchecks: nothing to do
wait_for 5 asked && fail "unchecking asked the question"
box
wait_for 50 asked || fail "checking again asked nothing"
keys_to "$(window '^Confirmation$')" Return
wait_for 300 test -f "$folder/res/SR-ChgLog.LOG" || fail "the change log was never unpacked"
[ "$(runs)" = 1 ] || fail "the tool ran $(runs) times"
cmp -s "$folder/res/SR-ChgLog.LOG" "$KESTRAFEN_MACHINE/sr-chglog.log" || fail "the unpacked log differs"

wait_for 100 wmctrl -c "Kestrafen 1.3D" || fail "the window manager never listed the main window"
wait_for 100 sh -c "! kill -0 $prog 2>/dev/null" || fail "program still running after closing its window"
prog=""
[ ! -e "$folder/res" ] || fail "res left after close"
echo "PASS"
