#!/bin/sh
# Works with restore points through the real window under Xvfb, as a user would: creates a point
# under a typed title, deletes it, switches System Restore off and on, then rolls back and sees the
# machine restart. Every wait is bounded.
# Usage: points_test.sh <kestrafen executable> [folder for screenshots]
set -u
. "$(dirname "$0")/../support/desktop.sh"
exe="$1"
shots="${2:-}"
work=$(mktemp -d)
prog=""
trap 'kill $prog $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM

sample_machine
folder="$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen"
cache="$folder/KestrafenTemp.ini"
journal="$KESTRAFEN_MACHINE/journal.log"
json="$KESTRAFEN_MACHINE/machine.json"
title="Avant le test e2e"

fail() { echo "FAIL: $*"; exit 1; }
journalled() { grep -Fqx -- "$1" "$journal" 2>/dev/null; }
listed() { grep -qs '^DirectoryName=RP' "$cache"; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png" 2>/dev/null; }
# Answers the box titled $1 with its default button (Yes for a question, OK for a message).
answer() {
  wait_for 100 has_window "^$1\$" || fail "no box titled $1 ($2)"
  box=$(window "^$1\$")
  shot "$2"
  keys_to "$box" Return
  wait_for 50 no_window "^$1\$" || fail "box $1 stayed open ($2)"
}

start_desktop

"$exe" &
prog=$!
wait_for 100 has_window "Kestrafen 1.3D" || fail "main window never appeared"
wait_for 100 listed || fail "the points were never listed"
main=$(window "Kestrafen 1.3D")

# Create a point under a typed title.
click_until "$main" 111 394 has_window "^Titre requis\$" || fail "title prompt never appeared" # Creer
prompt=$(window "^Titre requis\$")
keys_to "$prompt" ctrl+a
type_to "$prompt" "$title"
shot prompt
xdotool mousemove --window "$prompt" 44 40 click 1 # Valider
answer Kestrafen created
journalled "SRSetRestorePointA 100 7 $title" || fail "no request for the point in journal.log"
grep -q "\"Description\": \"$title\"" "$json" || fail "the new point is not in machine.json"
wait_for 50 grep -qs "^\[([^]]*) $title\]" "$cache" || fail "the new point is not listed"
number=$(sed -n "/) $title\]/,/^Number=/s/^Number=\([0-9]*\).*/\1/p" "$cache" | head -n 1)
[ -n "$number" ] || fail "no sequence number cached for the new point"
shot listed

# Delete it: it is the newest, so the last entry. The list takes the click, then the key.
xdotool mousemove --window "$main" 60 8 click 1
keys_to "$main" End
shot selected
click_until "$main" 359 394 has_window "^Confirmation\$" || fail "no question for the deletion" # Detruire
answer Confirmation delete
wait_for 50 journalled "SRRemoveRestorePoint $number" || fail "the point was not removed"
grep -q "\"Description\": \"$title\"" "$json" && fail "the deleted point is still in machine.json"

# Switch System Restore off, then on again.
click_until "$main" 353 437 has_window "^Confirmation\$" || fail "no question for switching off" # Activer
answer Confirmation off
wait_for 100 journalled 'Disable C:\' || fail "System Restore was not switched off"
wait_for 50 grep -qi '"Start"=dword:00000004' "$KESTRAFEN_MACHINE/registry.reg" || fail "service not off"
shot switched-off
click_until "$main" 353 437 has_window "^Confirmation\$" || fail "no question for switching on" # Activer
answer Confirmation on
wait_for 100 journalled 'Enable C:\' || fail "System Restore was not switched on"
wait_for 150 listed || fail "no point listed after switching on"
shot switched-on

# Roll back to the only point. The list may still be locked by the end of the switch: without a
# selection the program asks for one, and the point is selected again.
for _ in 1 2 3 4 5; do
  xdotool mousemove --window "$main" 60 8 click 1
  click_until "$main" 604 394 has_window "^(Confirmation|Kestrafen)\$" || fail "Appliquer answered nothing"
  has_window "^Confirmation\$" && break
  answer Kestrafen "no selection yet"
done
answer Confirmation rollback
wait_for 100 journalled Restart || fail "no restart after the roll-back"
restore=$(grep -n '^Restore [0-9]' "$journal" | tail -n 1 | cut -d: -f1)
restart=$(grep -n '^Restart$' "$journal" | tail -n 1 | cut -d: -f1)
[ -n "$restore" ] && [ "$restore" -lt "$restart" ] || fail "Restore <n> does not come before Restart"
wait_for 100 sh -c "! kill -0 $prog 2>/dev/null" || fail "the program did not end with the restart"
prog=""
echo "PASS"
