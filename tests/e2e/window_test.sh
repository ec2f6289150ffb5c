#!/bin/sh
# Starts the real window under Xvfb on a prepared machine folder: the point cache exists while the
# program runs and is gone once the user closes the main window.
# Usage: window_test.sh <kestrafen executable> [screenshot.png]
set -u
. "$(dirname "$0")/../support/desktop.sh"
exe="$1"
shot="${2:-}"
work=$(mktemp -d)
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM

sample_machine
cache="$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen/KestrafenTemp.ini"

start_desktop

"$exe" &
prog=$!
wait_for 100 has_window "Kestrafen 1.3D" || { echo "FAIL: main window never appeared"; kill $prog; exit 1; }
win=$(window "Kestrafen 1.3D")
wait_for 100 test -f "$cache" || { echo "FAIL: KestrafenTemp.ini missing while the program runs"; kill $prog; exit 1; }
wait_for 50 grep -q '^DirectoryName=RP' "$cache" || { echo "FAIL: point cache holds no point"; kill $prog; exit 1; }

if [ -n "$shot" ]; then
  import -window "$win" -frame "$shot" 2>/dev/null || import -window root "$shot"
fi

# Close it as a user would, through the window manager, once the manager lists the window.
wait_for 100 wmctrl -c "Kestrafen 1.3D" ||
  { echo "FAIL: the window manager never listed the main window"; kill $prog; exit 1; }
if ! wait_for 100 sh -c "! kill -0 $prog 2>/dev/null"; then
  echo "FAIL: program still running after closing its window"
  kill $prog
  exit 1
fi
[ ! -e "$cache" ] || { echo "FAIL: KestrafenTemp.ini left after close"; exit 1; }
echo "PASS"
