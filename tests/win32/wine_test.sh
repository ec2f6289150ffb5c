#!/bin/sh
# Runs the Windows platform tests under Wine, headless, in a fresh prefix, with what they need:
# cabinets written by gcab (a good one and hostile ones whose entry would land outside the
# folder), an HTTP server on 127.0.0.1 for the download, and "wine reg query" to read back
# what the registry test wrote.
# Then two more runs in the same prefix: one with a stand-in srclient.dll in the system folder
# (and a planted copy beside the executable, which must not be the one loaded) and marker
# programs planted in the working and the program folder, none of which may run; one under a
# Russian locale, whose ANSI code page is 1251.
# Usage: wine_test.sh <test_win32.exe> <stand-in srclient.dll> <marker.exe> <marker.dll>
set -u
exe="$1" standin="$2" marker="$3" markerdll="$4"
. "$(dirname "$0")/wine_env.sh"
server=""
trap '[ -n "$server" ] && kill $server 2>/dev/null; wine_cleanup' EXIT INT TERM

# Cabinets. gcab drops ".." and drive names from the names it is given, so the hostile entries
# are written as "zz\evil.txt" and renamed in place (same length; names are not checksummed).
cabs="$work/cabs"
mkdir -p "$cabs/src/sub" "$cabs/src/zz"
printf 'change log\r\n' > "$cabs/src/SR-ChgLog.LOG"
printf 'deep\n' > "$cabs/src/sub/deep.txt"
printf 'safe\n' > "$cabs/src/a.txt"
printf 'evil\n' > "$cabs/src/zz/evil.txt"
(cd "$cabs/src" && gcab -c -z ../good.cab SR-ChgLog.LOG sub/deep.txt && gcab -c ../hostile.cab a.txt zz/evil.txt) ||
  { echo "FAIL: gcab"; exit 1; }
python3 - "$cabs" <<'PY' || { echo "FAIL: cannot write the hostile cabinets"; exit 1; }
import sys
folder = sys.argv[1]
data = open(folder + "/hostile.cab", "rb").read()
assert data.count(b"zz\\evil.txt") == 1
# Then names Windows would open as a device or alter (11 bytes each, as the name replaced).
for name, entry in (("dotdot", b"..\\evil.txt"), ("drive", b"C:\\evil.txt"), ("absolute", b"\\z\\evil.txt"),
                    ("slash", b"/z/evil.txt"), ("deeper", b"a\\..\\..\\e.t"),
                    ("name-con", b"sub\\CON.txt"), ("name-aux", b"aux.evil.tx"), ("name-com1", b"COM1\\ev.txt"),
                    ("name-lpt9", b"zz\\lpt9.txt"), ("name-blanks", b"evil.txt   "), ("name-dots", b"evil.txt..."),
                    ("name-folderdot", b"zz.\\evil.tx"), ("name-com-superscript", b"zz\\COM\xb9.txt")):
    open(folder + "/" + name + ".cab", "wb").write(data.replace(b"zz\\evil.txt", entry))
# A UTF-8 name (attribute 0x80 in the two bytes before it) of full-width dots and backslash, which
# a look-alike conversion would turn into "..\\".
at = data.index(b"zz\\evil.txt")
wide = bytearray(data.replace(b"zz\\evil.txt", "\uff0e\uff0e\uff3cxy".encode()))
wide[at - 2] |= 0x80
open(folder + "/name-fullwidth.cab", "wb").write(bytes(wide))
PY
export KESTRAFEN_CABINETS="$(wine_path "$cabs")\\"

# The HTTP server: loopback only, on a free port, for five minutes at most.
served="$work/served"
mkdir -p "$served"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 300 python3 -m http.server --bind 127.0.0.1 --directory "$served" "$port" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done
export KESTRAFEN_HTTP_URL="http://127.0.0.1:$port/" KESTRAFEN_HTTP_ROOT="$(wine_path "$served")\\"

# Local time is Paris time for the date conversion cases.
export TZ=Europe/Paris
wine_boot
# The window tests draw on a display of their own.
display_run() { limit=$1; shift; timeout "$limit" xvfb-run -a -s "-nolisten tcp -screen 0 1024x768x24" "$@"; }
display_run 240 wine "$exe" --gtest_filter='-StandIn*:CodePage*:Planted*'
status=$?

# The stand-in, native, in the system folder of this build (SysWOW64 for 32-bit programs on a
# 64-bit prefix), and the planted copy.
system="$WINEPREFIX/drive_c/windows/system32"
[ "$wine_bits" = 32 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && system="$WINEPREFIX/drive_c/windows/syswow64"
app="$work/app" current="$work/current"
mkdir -p "$app" "$current"
cp "$standin" "$system/srclient.dll" && cp "$exe" "$standin" "$app/" || { echo "FAIL: cannot install the stand-in"; exit 1; }
# Programs the system folder has, planted where a bare name would be looked for first.
for folder in "$app" "$current"; do
  cp "$marker" "$folder/rundll32.exe" && cp "$marker" "$folder/cmd.com" && cp "$markerdll" "$folder/cabinet.dll" &&
    printf '@echo ran> "%%~f0.ran"\r\n' > "$folder/regsvr32.bat" || { echo "FAIL: cannot plant the markers"; exit 1; }
done
(cd "$current" && KESTRAFEN_SRCLIENT_LOG="$(wine_path "$work/srclient.log")" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;srclient=n" \
  display_run 120 wine "$app/$(basename "$exe")" --gtest_filter='StandIn*:Planted*') || status=1

# Wine takes its code page from the locale; glibc builds the Russian one in a folder of ours.
if localedef -i ru_RU -f UTF-8 "$work/ru_RU.UTF-8" >/dev/null 2>&1; then
  LOCPATH="$work" LC_ALL=ru_RU.UTF-8 display_run 120 wine "$exe" --gtest_filter='CodePage*' || status=1
else
  echo "NOTE: no Russian locale can be built here (localedef); the code page 1251 cases did not run"
fi
timeout 60 wineserver -w # the registry is on disk once the server has ended, every program has ended

ran=$(find "$app" "$current" -name '*.ran')
if [ -z "$ran" ]; then
  echo "PASS: no program planted in the working or the program folder ran"
else
  echo "FAIL: planted programs ran: $ran"
  status=1
fi

# What the registry test left must be what another program reads (in the 64-bit view, which the
# program uses on 64-bit Windows whatever its own build).
query=$(timeout 60 wine reg query 'HKLM\SOFTWARE\Kestrafen Test' /reg:64 2>/dev/null | tr -d '\r')
if echo "$query" | grep -q 'ForRegQuery.*REG_SZ.*written by the test' &&
   echo "$query" | grep -q 'Number.*REG_DWORD.*0x2a'; then
  echo "PASS: wine reg query reads the values the program wrote"
else
  echo "FAIL: wine reg query shows:"
  echo "$query"
  status=1
fi
# The lifetime of 30 days in seconds, -5 hours as its 32-bit pattern, and an exclusion entry
# whose two lines are stored as a multi-string.
settings=$(timeout 60 wine reg query 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\SystemRestore' /reg:64 2>/dev/null | tr -d '\r')
# Wine's "reg query" prints only the first string of a multi-string; its export shows them all
# (UTF-16 strings, each ended by a zero, then one more zero).
timeout 60 wine reg export 'HKLM\SYSTEM\ControlSet001\Control\BackupRestore\FilesNotToBackup' "$WINEPREFIX/files.reg" /reg:64 /y >/dev/null 2>&1
files=$(iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/files.reg" 2>/dev/null | tr -d '\r\\\n ')
if echo "$settings" | grep -q 'RPLifeInterval.*REG_DWORD.*0x278d00' &&
   echo "$settings" | grep -q 'RPGlobalInterval.*REG_DWORD.*0xffffb9b0' &&
   echo "$files" | grep -q '"Kestrafen"=hex(7):61,00,62,00,00,00,63,00,64,00,00,00,00,00'; then
  echo "PASS: wine reg reads back the settings and the exclusion entry"
else
  echo "FAIL: wine reg query shows:"
  echo "$settings"
  echo "$files"
  status=1
fi
[ $status -eq 0 ] && echo "PASS" || echo "FAIL"
exit $status
