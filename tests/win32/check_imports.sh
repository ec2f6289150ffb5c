#!/bin/sh
# Fails when the Windows program imports a function that is not in the reviewed list of what
# Windows XP SP2 exports, or declares a subsystem version XP does not run (above 5.1).
# Usage: check_imports.sh <objdump> <kestrafen.exe> <reviewed list>
# The list holds one "DLL function" a line (DLL names in capitals) and "KNOWN DLL" for each DLL
# that may be imported at all; "#" starts a comment.
set -u
objdump="$1" exe="$2" list="$3"
dump=$("$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe"; exit 1; }
status=0

major=$(echo "$dump" | sed -n 's/^MajorSubsystemVersion[[:space:]]*//p')
minor=$(echo "$dump" | sed -n 's/^MinorSubsystemVersion[[:space:]]*//p')
if [ -z "$major" ] || [ -z "$minor" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 1 ]; }; then
  echo "FAIL: subsystem version ${major:-?}.${minor:-?}: Windows XP runs 5.1 at most"
  status=1
fi

# "	DLL Name: KERNEL32.dll", then "	vma:  Hint/Ord Member-Name Bound-To", then "	<vma>	 <hint>  <name>"
imports=$(echo "$dump" | awk '
  /^[[:space:]]*DLL Name:/ { dll = toupper($3); next }
  /^[[:space:]]*$/ { dll = ""; next }
  dll != "" && $1 != "vma:" && NF >= 3 { print dll, $3 }
  dll != "" && $1 != "vma:" && NF == 2 { print dll, "ordinal:" $2 }' | sort -u)
[ -n "$imports" ] || { echo "FAIL: no import found in $exe"; exit 1; }
reviewed=$(sed 's/#.*//; s/[[:space:]]*$//' "$list" | grep -v '^$' | grep -v '^KNOWN ' | sort -u)
known=$(sed -n 's/^KNOWN[[:space:]]*\([^[:space:]#]*\).*/\1/p' "$list")
unknown=$(echo "$imports" | cut -d' ' -f1 | sort -u | while read -r dll; do
  echo "$known" | grep -qxF "$dll" || echo "$dll"
done)
if [ -n "$unknown" ]; then
  echo "FAIL: imports of DLLs that are no known DLL of XP (a copy beside the program would be loaded):"
  echo "$unknown" | sed 's/^/  /'
  echo "Load them at run time from the system folder instead."
  status=1
fi
new=$(echo "$imports" | while read -r line; do
  echo "$reviewed" | grep -qxF "$line" || echo "$line"
done)
if [ -n "$new" ]; then
  echo "FAIL: imports not yet checked against what Windows XP SP2 exports:"
  echo "$new" | sed 's/^/  /'
  echo "Check each in the XP SP2 DLL's export table, then add it to $list."
  status=1
fi
count=$(echo "$imports" | wc -l)
[ $status -eq 0 ] && echo "PASS: $count imports, all reviewed; subsystem version $major.$minor"
exit $status
