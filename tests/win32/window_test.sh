#!/bin/sh
# Starts the Windows program under Wine on Xvfb with openbox, in a fresh prefix whose registry holds
# the System Restore keys, as a French user's first run. Checks the settings file the first run
# writes, takes a screenshot of the main window, closes it, then starts it again with System
# Restore off (the language list is usable then: Wine lists no restore point) and switches the
# language to English with the keyboard, which rewrites the settings file.
# Usage: window_test.sh <kestrafen.exe> [folder for the screenshots]
set -u
. "$(dirname "$0")/../support/desktop.sh"
exe="$1"
shots="${2:-$(dirname "$exe")}"
. "$(dirname "$0")/wine_env.sh"
xvfb="" wm="" prog=""
trap '[ -n "$prog" ] && kill $prog 2>/dev/null; [ -n "$wm" ] && kill $wm; [ -n "$xvfb" ] && kill $xvfb; wine_cleanup' EXIT INT TERM
fail() { echo "FAIL: $*"; exit 1; }

folder="$work/Kestrafen"
mkdir -p "$folder"
cp "$exe" "$(dirname "$exe")/langues.ini" "$folder/" || fail "no langues.ini next to $exe"
settings="$folder/Kestrafen.ini"

start_desktop

wine_boot
# A French desktop folder in the profile: the first run chooses French.
mkdir -p "$WINEPREFIX/drive_c/users/$(id -un)/Bureau"
printf 'REGEDIT4\r\n\r\n%s\r\n%s\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\SystemRestore]' \
  '"RPSessionInterval"=dword:00000000' '"RPGlobalInterval"=dword:00015180' '"RPLifeInterval"=dword:0076a700' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\SystemRestore\Cfg]' \
  '"MachineGuid"="{8c3e51d7-2a94-4f06-b1e8-5d7a90c4e2f3}"' \
  '[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\sr]' '"Start"=dword:00000000' > "$work/sr.reg"
timeout 60 wine reg import "$(wine_path "$work/sr.reg")" /reg:64 >/dev/null 2>&1 || fail "reg import"

# Starts the program in its folder and waits for the main window (the first run waits 3 s).
start() {
  (cd "$folder" && exec wine kestrafen.exe) >/dev/null 2>&1 &
  prog=$!
  wait_for 600 sh -c "xdotool search --onlyvisible --name '^Kestrafen 1.3D' >/dev/null 2>&1 || ! kill -0 $prog" 2>/dev/null
  kill -0 $prog 2>/dev/null || fail "the program ended before showing its window"
  win=$(window "^Kestrafen 1.3D")
  [ -n "$win" ] || fail "main window never appeared"
}

# Closes it as a user would (once the manager lists it) and waits for the program to end.
stop() {
  wait_for 100 wmctrl -c "Kestrafen 1.3D" || keys_to "$win" alt+F4
  wait_for 100 sh -c "! kill -0 $prog 2>/dev/null" || fail "program still running after closing its window"
  prog=""
}

language() {
  tr -d '\r' < "$settings" | sed -n 's/^Langue=//p' | iconv -f WINDOWS-1252 -t UTF-8
}
english() { [ "$(language)" = "English" ]; }
# The program's windows on the screen: the main window, and the list or window it opens.
windows() { xdotool search --onlyvisible --class kestrafen.exe 2>/dev/null | wc -l; }
more_windows() { [ "$(windows)" -gt "$1" ]; }
as_many_windows() { [ "$(windows)" -eq "$1" ]; }

start
[ "$(language)" = "Français" ] || fail "first run wrote Langue=$(language), not Français"
import -window root "$shots/window-french.png" 2>/dev/null
stop
echo "PASS: first run in French, window shown and closed"

timeout 60 wine reg add 'HKLM\SYSTEM\CurrentControlSet\Services\sr' /v Start /t REG_DWORD /d 4 /f /reg:64 >/dev/null 2>&1
start
# The language list: Langue2 at (568, 24) in the group box at (5, 408), 129 x 21 pixels. It takes
# clicks once the window has read the service's state; the keys go to the main window, which holds
# the opened list.
before=$(windows)
click_until "$win" 637 442 more_windows "$before" || fail "the language list never opened"
keys_to "$win" Down Return
wait_for 50 english || fail "Kestrafen.ini says Langue=$(language) after choosing English"
import -window root "$shots/window-english.png" 2>/dev/null

# Ctrl+1 on the main keyboard opens the quotation window, modal; Escape closes it.
wait_for 50 as_many_windows "$before" || fail "the language list stayed open"
keys_to "$win" ctrl+1
wait_for 50 more_windows "$before" || fail "Ctrl+1 opened no quotation window"
quotation=$(xdotool search --onlyvisible --class kestrafen.exe 2>/dev/null | grep -vx "$win" | tail -n 1)
keys_to "$quotation" Escape
wait_for 50 as_many_windows "$before" || fail "Escape did not close the quotation window"
echo "PASS: Ctrl+1 opens the quotation window and Escape closes it"
stop
echo "PASS: switched to English, Kestrafen.ini rewritten in the program folder"
echo "PASS"
