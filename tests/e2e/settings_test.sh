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

# The visible window titled so, waited for up to ten seconds.
window() {
  for _ in $(seq 100); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
# Clicks at client coordinates of a window.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Replaces the text of the field under the pointer, as a user with Ctrl+A would.
retype() { xdotool key ctrl+a; xdotool type --delay 20 "$1"; sleep 0.2; }
# Waits up to ten seconds for a pattern in a file.
await() {
  for _ in $(seq 100); do grep -q "$1" "$2" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" 2>/dev/null; return 0; }

"$exe" &
prog=$!
main=$(window "Kestrafen 1.3D") || fail "main window never appeared"
sleep 1

# The lifetime: 30 days.
click "$main" 126 437
dialog=$(window "Configurer le syst") || fail "settings dialog never appeared"
sleep 0.5
shot settings
click "$dialog" 180 79
retype 30
click "$dialog" 51 473
await '"RPLifeInterval"=dword:00278d00' "$reg" || fail "RPLifeInterval is not 30 days in registry.reg"

# An exclusion entry with two lines.
click "$main" 126 437
dialog=$(window "Configurer le syst") || fail "settings dialog never came back"
sleep 0.5
click "$dialog" 186 473
sleep 1
editor=$(window "Configurer le syst") || fail "exclusion editor never appeared"
click "$editor" 530 44
retype KestrafenE2E
click "$editor" 530 120
retype ab
xdotool key Return
xdotool type cd
sleep 0.2
shot editor
click "$editor" 530 230
await '"KestrafenE2E"=hex(7):61,62,00,63,64,00,00' "$reg" || fail "the entry's bytes are not in registry.reg"

# Back to the settings dialog, then the repair.
xdotool windowactivate --sync "$editor" key alt+F4
sleep 1
dialog=$(window "Configurer le syst") || fail "settings dialog not shown after the editor"
click "$dialog" 177 435
repair=$(window "Réparer la restauration") || fail "repair window never appeared"
sleep 0.5
shot repair
click "$repair" 109 204
box=$(window "Confirmation") || fail "no confirmation for the repair"
xdotool windowactivate --sync "$box" key Return
sleep 0.5
box=$(window "Kestrafen$") || fail "no restart message"
shot restart
xdotool windowactivate --sync "$box" key Return

for _ in $(seq 100); do kill -0 $prog 2>/dev/null || break; sleep 0.1; done
kill -0 $prog 2>/dev/null && fail "program still running after the restart"
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
