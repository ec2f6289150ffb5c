#!/bin/sh
# Fails when the Windows program imports a function that is not in the reviewed list of what
# Windows XP SP2 exports, or declares a subsystem version XP does not run (above 5.1).
# Usage: check_imports.sh <objdump> <kestrafen.exe> <reviewed list>
# The list holds one "DLL function" a line (DLL names in capitals); "#" starts a comment.
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
reviewed=$(sed 's/#.*//; s/[[:space:]]*$//' "$list" | grep -v '^$' | sort -u)
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
