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
# Repeats a check every 0.1 s for at most $1 tenths of a second.
wait_for() {
  n=$1; shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window "$1")" ]; }
journalled() { grep -Fqx -- "$1" "$journal" 2>/dev/null; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.2; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png" 2>/dev/null; }
# Answers the box titled $1 with its default button (Yes for a question, OK for a message).
answer() {
  wait_for 100 has_window "^$1\$" || fail "no box titled $1 ($2)"
  box=$(window "^$1\$")
  shot "$2"
  xdotool windowactivate --sync "$box" key Return 2>/dev/null
  wait_for 50 sh -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" || fail "box $1 stayed open ($2)"
}

start_desktop

"$exe" &
prog=$!
wait_for 100 has_window "Kestrafen 1.3D" || fail "main window never appeared"
wait_for 100 test -f "$cache" || fail "the points were never listed"
main=$(window "Kestrafen 1.3D")
xdotool windowactivate --sync "$main" 2>/dev/null
sleep 0.5

# Create a point under a typed title.
click "$main" 111 394 # Creer
wait_for 100 has_window "^Titre requis\$" || fail "title prompt never appeared"
prompt=$(window "^Titre requis\$")
xdotool windowactivate --sync "$prompt" 2>/dev/null
click "$prompt" 80 14 # Titre
xdotool key ctrl+a type --delay 20 "$title"
shot prompt
click "$prompt" 44 40 # Valider
answer Kestrafen created
journalled "SRSetRestorePointA 100 7 $title" || fail "no request for the point in journal.log"
grep -q "\"Description\": \"$title\"" "$json" || fail "the new point is not in machine.json"
wait_for 50 grep -qs "^\[([^]]*) $title\]" "$cache" || fail "the new point is not listed"
number=$(sed -n "/) $title\]/,/^Number=/s/^Number=\([0-9]*\).*/\1/p" "$cache" | head -n 1)
[ -n "$number" ] || fail "no sequence number cached for the new point"
shot listed

# Delete it: it is the newest, so the last entry.
click "$main" 60 8
xdotool key End
sleep 0.3
shot selected
click "$main" 359 394 # Detruire
answer Confirmation delete
wait_for 50 journalled "SRRemoveRestorePoint $number" || fail "the point was not removed"
grep -q "\"Description\": \"$title\"" "$json" && fail "the deleted point is still in machine.json"

# Switch System Restore off, then on again.
click "$main" 353 437 # Activer
answer Confirmation off
wait_for 100 journalled 'Disable C:\' || fail "System Restore was not switched off"
wait_for 50 grep -qi '"Start"=dword:00000004' "$KESTRAFEN_MACHINE/registry.reg" || fail "service not off"
sleep 0.5
shot switched-off
click "$main" 353 437 # Activer
answer Confirmation on
wait_for 100 journalled 'Enable C:\' || fail "System Restore was not switched on"
wait_for 150 grep -qs '^DirectoryName=RP' "$cache" || fail "no point listed after switching on"
sleep 0.5
shot switched-on

# Roll back to the only point.
click "$main" 60 8
sleep 0.3
click "$main" 604 394 # Appliquer
answer Confirmation rollback
wait_for 100 journalled Restart || fail "no restart after the roll-back"
restore=$(grep -n '^Restore [0-9]' "$journal" | tail -n 1 | cut -d: -f1)
restart=$(grep -n '^Restart$' "$journal" | tail -n 1 | cut -d: -f1)
[ -n "$restore" ] && [ "$restore" -lt "$restart" ] || fail "Restore <n> does not come before Restart"
wait_for 100 sh -c "! kill -0 $prog 2>/dev/null" || fail "the program did not end with the restart"
prog=""
echo "PASS"
