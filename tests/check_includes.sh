#!/bin/sh
# Usage: check_includes.sh <header pattern> <path or file pattern>...
# Fails, naming the lines, when a file under one of the paths includes a header that matches the
# pattern (an extended regular expression). Paths that do not exist yet are skipped.
pattern="$1"
shift
status=0
# Unquoted on purpose: "platform/*.h" is a pattern the shell expands here.
for path in $*; do
  [ -e "$path" ] || continue
  grep -rnE "#include *[<\"]($pattern)" "$path"
  case $? in
    0) status=1 ;;
    1) ;;
    *) echo "cannot read $path"; status=1 ;;
  esac
done
exit $status
