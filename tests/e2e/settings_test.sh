#!/bin/sh
# Drives the settings dialog, the exclusion lists editor and the repair window of the real program
# under Xvfb on a fresh sample machine, and checks what they leave in registry.reg and journal.log.
# Usage: settings_test.sh <kestrafen executable> [folder for screenshots]
set -u
. "$(dirname "$0")/../support/desktop.sh"
exe="$1"
shots="${2:-}"
work=$(mktemp -d)
prog=""
trap 'kill $prog $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM

sample_machine
reg="$KESTRAFEN_MACHINE/registry.reg"
journal="$KESTRAFEN_MACHINE/journal.log"

start_desktop

fail() { echo "FAIL: $*"; tail -n 12 "$journal" 2>/dev/null; exit 1; }

# The visible window titled so, once there is one (up to ten seconds).
shown() { wait_for 100 has_window "$1" && window "$1"; }
# True when the window $1 (an id) is mapped.
visible() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
hidden() { ! visible "$1"; }
# A visible window titled $1 other than the window $2: a second window of the same title.
another() { w=$(window "$1"); [ -n "$w" ] && [ "$w" != "$2" ]; }
# Replaces the text of the focused field of the window $1, as a user with Ctrl+A would.
retype() { keys_to "$1" ctrl+a; type_to "$1" "$2"; }
# Waits up to ten seconds for a pattern in a file.
await() { wait_for 100 grep -q "$1" "$2"; }
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" 2>/dev/null; return 0; }

"$exe" &
prog=$!
main=$(shown "Kestrafen 1.3D") || fail "main window never appeared"
wait_for 100 test -f "$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen/KestrafenTemp.ini" ||
  fail "the points were never listed"

# The lifetime: 30 days.
click_until "$main" 126 437 has_window "Configurer le syst" || fail "settings dialog never appeared"
dialog=$(window "Configurer le syst")
shot settings
xdotool mousemove --window "$dialog" 180 79 click 1
retype "$dialog" 30
xdotool mousemove --window "$dialog" 51 473 click 1
await '"RPLifeInterval"=dword:00278d00' "$reg" || fail "RPLifeInterval is not 30 days in registry.reg"

# An exclusion entry with two lines.
wait_for 50 hidden "$dialog" || fail "the dialog stayed open"
click_until "$main" 126 437 visible "$dialog" || fail "settings dialog never came back"
click_until "$dialog" 186 473 another "Configurer le syst" "$dialog" || fail "exclusion editor never appeared"
editor=$(window "Configurer le syst")
xdotool mousemove --window "$editor" 530 44 click 1
retype "$editor" KestrafenE2E
xdotool mousemove --window "$editor" 530 120 click 1
retype "$editor" ab
keys_to "$editor" Return
type_to "$editor" cd
shot editor
xdotool mousemove --window "$editor" 530 230 click 1
await '"KestrafenE2E"=hex(7):61,62,00,63,64,00,00' "$reg" || fail "the entry's bytes are not in registry.reg"

# Back to the settings dialog, then the repair.
keys_to "$editor" alt+F4
wait_for 100 visible "$dialog" || fail "settings dialog not shown after the editor"
click_until "$dialog" 177 435 has_window "Réparer la restauration" || fail "repair window never appeared"
repair=$(window "Réparer la restauration")
shot repair
click_until "$repair" 109 204 has_window "^Confirmation\$" || fail "no confirmation for the repair"
keys_to "$(window '^Confirmation$')" Return
box=$(shown "^Kestrafen\$") || fail "no restart message"
shot restart
keys_to "$box" Return

wait_for 100 sh -c "! kill -0 $prog 2>/dev/null" || fail "program still running after the restart"
prog=""

expected="CMD /c sc config remote srservice start= auto
CMD /c sc start remote srservice
CMD /c sc config remote schedule start= auto
CMD /c sc start remote schedule
CMD /c regsvr32 /s jscript.dll
CMD /c regsvr32 /s vbscript.dll
CMD /c regsvr32 /s mshtml.dll
CMD /c shutdown -r -t 0
Restart"
[ "$(tail -n 9 "$journal")" = "$expected" ] || { cat "$journal"; fail "the repair's commands are not in journal.log in order"; }
grep -q '^"Extension"=".htc"' "$reg" || fail "the .htc association is not in registry.reg"
echo "PASS"
