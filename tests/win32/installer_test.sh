#!/bin/sh
# Installs the release under Wine as a user would (silently), checks what it put in Program Files
# and the Start menu, then uninstalls it: what the installer added goes, a user's file stays.
# The installer itself is a 32-bit program, whichever program it carries: CTest runs this with the
# 32-bit loader, and skips it where that cannot run.
# Usage: installer_test.sh <Kestrafen-...-win32.exe or -win64.exe>
set -u
installer="$1"
[ -f "$installer" ] || { echo "SKIP: no installer (build the package target where makensis is installed)"; exit 77; }
. "$(dirname "$0")/wine_env.sh"
trap 'wine_cleanup' EXIT INT TERM
fail() { echo "FAIL: $*"; exit 1; }

wine_boot
# The 64-bit program goes to the 64-bit Program Files, the 32-bit one to its WoW64 twin.
programs="$WINEPREFIX/drive_c/Program Files/Kestrafen"
case "$installer" in
  *win32.exe) [ -d "$WINEPREFIX/drive_c/Program Files (x86)" ] && programs="$WINEPREFIX/drive_c/Program Files (x86)/Kestrafen" ;;
esac
timeout 120 wine "$installer" /S >/dev/null 2>&1
timeout 60 wineserver -w
for file in kestrafen.exe kestrafen.com langues.ini LISEZMOI.txt README.txt Uninstall.exe; do
  [ -f "$programs/$file" ] || fail "the installer put no $file in $programs"
done
menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -iname 'Kestrafen*.lnk' | head -n 1)
[ -n "$menu" ] || fail "no Start-menu entry"
echo "PASS: installed in Program Files with a Start-menu entry"

# What the program and the user leave there must outlive the uninstaller; the change listing's
# cabinet and what was unpacked from it must not.
printf '[Kestrafen]\r\nLangue=English\r\n' > "$programs/Kestrafen.ini"
printf 'mine\r\n' > "$programs/notes.txt"
mkdir -p "$programs/res" && printf 'log\r\n' > "$programs/res/SR-ChgLog.LOG" && printf 'MSCF' > "$programs/res.cab"
timeout 120 wine "$programs/Uninstall.exe" /S >/dev/null 2>&1
timeout 60 wineserver -w
sleep 2 # the uninstaller runs from a copy of itself, which ends after the call above returns
timeout 60 wineserver -w
for file in kestrafen.exe kestrafen.com langues.ini LISEZMOI.txt README.txt Uninstall.exe res.cab res; do
  [ -e "$programs/$file" ] && fail "the uninstaller left $file"
done
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -iname 'Kestrafen*.lnk')" ] || fail "the Start-menu entry is still there"
[ -f "$programs/notes.txt" ] && [ -f "$programs/Kestrafen.ini" ] || fail "the uninstaller removed a file it did not install"
echo "PASS: the uninstaller removed what it added and kept the settings and the user's file"
echo "PASS"
