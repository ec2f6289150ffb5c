#!/bin/sh
# Runs each benchmark once in the optimised build and prints every figure with its share of its
# target; fails when a figure is worse than twice its target. The start-up benchmark shows real
# windows, under Xvfb when there is no display.
set -e
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
benches="bench_listing bench_change_listing bench_saved_files bench_enumeration bench_profile_lookup bench_cabinet_extract bench_startup"
# shellcheck disable=SC2086
cmake --build --preset default --target $benches
status=0
for b in $benches; do
  run="build/bench/$b"
  [ "$b" = bench_startup ] && [ -z "$DISPLAY" ] && run="xvfb-run -a $run"
  # Only the figures: the benchmark tables go to the log.
  if ! $run >"build/bench/$b.log" 2>&1; then
    status=1
    echo "$b: FAILED (build/bench/$b.log)"
  fi
  grep -E ' = | times |NOT MEASURED|ERROR' "build/bench/$b.log" | sed -e "s/$(printf '\033')\[[0-9;]*m//g" -e "s/^/$b: /"
done
[ $status -eq 0 ] && echo "benchmarks: every held figure within twice its target"
exit $status
