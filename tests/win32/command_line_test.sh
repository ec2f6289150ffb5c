#!/bin/sh
# Runs the Windows program's command line under Wine with no display at all, in a fresh prefix
# whose registry holds the System Restore keys: "list --json" and "status --json" must print JSON
# that parses, through a pipe and into a file, and refusals and usage errors must give their exit
# codes with the reason on standard error. Scripts use the console twin kestrafen.com, which cmd
# waits for; the window program's own ways to its caller's console are tried too. Wine's System
# Restore lists no point and refuses to create one.
# Usage: command_line_test.sh <kestrafen.exe> <kestrafen.com>
set -u
exe="$1" com="$2"
. "$(dirname "$0")/wine_env.sh"
trap 'wine_cleanup' EXIT INT TERM
unset DISPLAY WAYLAND_DISPLAY
status=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; status=1; }

folder="$work/Kestrafen"
mkdir -p "$folder"
cp "$exe" "$com" "$(dirname "$exe")/langues.ini" "$folder/" || { echo "FAIL: no langues.ini next to $exe"; exit 1; }

# The language chosen in the window: French, spelled in Windows-1252 (messages come out in UTF-8).
printf '[Kestrafen]\r\nLangue=Fran\347ais\r\n' > "$folder/Kestrafen.ini"

wine_boot
printf 'REGEDIT4\r\n\r\n%s\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n' \
  '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\SystemRestore]' \
  '"RPGlobalInterval"=dword:00015180' '"RPLifeInterval"=dword:0076a700' \
  '[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\sr]' '"Start"=dword:00000000' > "$work/sr.reg"
timeout 60 wine reg import "$(wine_path "$work/sr.reg")" /reg:64 >/dev/null 2>&1 || fail "reg import"

# kestrafen <arguments>: runs the console program in its folder with a bound on its time.
kestrafen() {
  (cd "$folder" && timeout 60 wine kestrafen.com "$@")
}

# Through a pipe, as a script collecting the output would read it.
kestrafen list --json 2>"$work/list.err" | python3 -c '
import json, sys
points = json.load(sys.stdin)
assert isinstance(points, list), points
print(len(points), "points")' >"$work/list.out" 2>&1
if [ $? -eq 0 ]; then pass "list --json through a pipe: $(cat "$work/list.out")"
else fail "list --json through a pipe: $(cat "$work/list.out") / $(cat "$work/list.err")"; fi

kestrafen status --json 2>"$work/status.err" | python3 -c '
import json, sys
s = json.load(sys.stdin)
assert s["system_restore"] == "on", s
assert s["lifetime_days"] == 90 and s["interval_hours"] == 24, s
assert any(d["root"] == "C:\\" for d in s["drives"]), s
assert s["points"] == 0 and s["newest_point"] is None, s
print("on, 90 days, 24 hours,", len(s["drives"]), "drives")' >"$work/status.out" 2>&1
if [ $? -eq 0 ]; then pass "status --json through a pipe: $(cat "$work/status.out")"
else fail "status --json through a pipe: $(cat "$work/status.out") / $(cat "$work/status.err")"; fi

# Into a file, with the exit code kept.
kestrafen status --json >"$work/status.json" 2>/dev/null
code=$?
if [ $code -eq 0 ] && python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$work/status.json"; then
  pass "status --json into a file"
else fail "status --json into a file: exit $code, $(cat "$work/status.json")"; fi

# Started by cmd, which redirects the output itself: into a file and into a pipe that a Windows
# program reads (more: Wine's findstr does not read a pipe).
(cd "$folder" && timeout 60 wine cmd /c 'kestrafen.exe status --json > from-cmd.json' >/dev/null 2>&1)
if python3 -c 'import json, sys; assert json.load(open(sys.argv[1]))["system_restore"] == "on"' "$folder/from-cmd.json"
then pass "status --json redirected by cmd into a file"
else fail "status --json redirected by cmd: $(cat "$folder/from-cmd.json" 2>&1)"; fi
(cd "$folder" && timeout 60 wine cmd /c 'kestrafen.exe status --json | more' 2>/dev/null) >"$work/more.out"
if tr -d '\r' <"$work/more.out" | python3 -c 'import json, sys; assert json.load(sys.stdin)["lifetime_days"] == 90'
then pass "status --json piped by cmd to more"
else fail "status --json piped by cmd to more: $(cat "$work/more.out")"; fi

# As a script reads it: cmd waits for kestrafen.com, whose exit code is then its own.
(cd "$folder" && timeout 60 wine cmd /c 'kestrafen.com list --json > out.json & echo %ERRORLEVEL%' 2>&1) >"$work/level"
if [ "$(tr -d '\r\n' <"$work/level")" = 0 ] && python3 -c 'import json, sys; assert json.load(open(sys.argv[1])) == []' "$folder/out.json"
then pass "cmd /c kestrafen.com list --json > out.json: JSON and 0"
else fail "cmd /c kestrafen.com list --json: $(cat "$work/level") / $(cat "$folder/out.json" 2>&1)"; fi
(cd "$folder" && timeout 60 wine cmd /c 'kestrafen.com create Avant > out.txt 2> err.txt & echo %ERRORLEVEL%' 2>&1) >"$work/level"
if [ "$(tr -d '\r\n' <"$work/level")" = 4 ] && grep -q "Impossible de cr.*er le point" "$folder/err.txt"
then pass "cmd /c kestrafen.com create, refused by the service: 4"
else fail "cmd /c kestrafen.com create: $(cat "$work/level") / $(cat "$folder/err.txt" 2>&1)"; fi

# Not redirected at all: cmd runs in a terminal (Wine makes it a console), where the text shows.
for program in kestrafen.exe kestrafen.com; do
  (cd "$folder" && timeout 60 script -q -c "wine cmd /c '$program status'" /dev/null 2>&1) >"$work/console.out"
  if tr -d '\r' <"$work/console.out" | grep -q "Restauration syst.*me : activ"; then pass "$program status on cmd's console"
  else fail "$program status on cmd's console: $(cat -A "$work/console.out" | head -5)"; fi
done

# expect <code> <text on standard error> <arguments>...
expect() {
  want="$1" text="$2"
  shift 2
  kestrafen "$@" >"$work/out" 2>"$work/err"
  code=$?
  if [ $code -eq "$want" ] && grep -Fq -- "$text" "$work/err"; then pass "$* exits $code"
  else fail "$*: exit $code, standard error: $(cat "$work/err")"; fi
}
expect 4 "Impossible de créer le point de restauration." create "Avant la mise à jour"
expect 2 "Le titre a 41 caractères" create "12345678901234567890123456789012345678901"
expect 5 "Aucun point de restauration ne porte le numéro 5." --yes delete 5
expect 2 "Commande inconnue : frobnicate" frobnicate
kestrafen --version >"$work/out" 2>&1
if [ $? -eq 0 ] && grep -Fxq "Kestrafen 1.3D" "$work/out"; then pass "--version"; else fail "--version: $(cat "$work/out")"; fi

# The settings file is the window's: the commands only read it.
[ "$(od -An -c "$folder/Kestrafen.ini" | tr -d ' \n')" = '[Kestrafen]\r\nLangue=Fran347ais\r\n' ] ||
  fail "Kestrafen.ini was changed"
[ -e "$folder/KestrafenTemp.ini" ] && fail "a command wrote the point cache"

[ $status -eq 0 ] && echo "PASS" || echo "FAIL"
exit $status
