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
question() { xdotool search --name '^Confirmation$' 2>/dev/null | head -n 1; }
waitFor() { for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done; return 1; }

start_desktop

"$exe" 2>/dev/null &
prog=$!
waitFor '[ -f "$folder/KestrafenTemp.ini" ] && win=$(xdotool search --name "Kestrafen 1.3D" | head -n 1) && [ -n "$win" ]' 100 ||
  fail "main window never appeared"
sleep 1
# The box sits in the group box Autres (5, 408) at (568, 7), 129 x 17.
box() { xdotool mousemove --window "$win" 580 423 click 1; }

box
waitFor '[ -n "$(question)" ]' 50 || fail "a mouse check asked nothing"
xdotool key Escape
waitFor '[ -z "$(question)" ]' 50 || fail "the question stayed"
[ "$(runs)" = 0 ] || fail "the tool ran after No"

# The box has the focus now: the space bar checks it without asking.
xdotool key space
sleep 1.5
[ -z "$(question)" ] || fail "the space bar asked the question"
[ "$(runs)" = 0 ] || fail "the space bar ran the tool"

box # unchecks: nothing to do
sleep 0.5
[ -z "$(question)" ] || fail "unchecking asked the question"
box
waitFor '[ -n "$(question)" ]' 50 || fail "checking again asked nothing"
xdotool key Return
waitFor '[ -f "$folder/res/SR-ChgLog.LOG" ]' 300 || fail "the change log was never unpacked"
[ "$(runs)" = 1 ] || fail "the tool ran $(runs) times"
cmp -s "$folder/res/SR-ChgLog.LOG" "$KESTRAFEN_MACHINE/sr-chglog.log" || fail "the unpacked log differs"

wmctrl -c "Kestrafen 1.3D"
waitFor '! kill -0 $prog 2>/dev/null' 100 || fail "program still running after closing its window"
[ ! -e "$folder/res" ] || fail "res left after close"
echo "PASS"
