#!/bin/sh
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan; no Qt) and runs each on its corpus in
# fuzz/corpus for a fixed time, two at a time (FUZZ_JOBS=1: one). Fails on any crash, leak, undefined behaviour,
# time-out or changed round trip, and names the input that failed: keep it in the target's corpus.
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
set -e
cd "$(dirname "$0")/.."
seconds="${1:-30}"
[ $# -gt 0 ] && shift
scripts/deps.sh
missing=""
for p in clang libclang-rt-14-dev; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q || true
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets="$*"
[ -z "$targets" ] && targets=$(cd fuzz/corpus && ls)
out=build-fuzz/runs
rm -rf "$out"
mkdir -p "$out"
run() {
  name=$1
  # New inputs go to a scratch folder; the corpus in the repository is only read.
  mkdir -p "$out/$name/corpus"
  if build-fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$out/$name/" "$out/$name/corpus" "fuzz/corpus/$name" \
      >"$out/$name/log" 2>&1; then
    echo "fuzz $name: ok, $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$name/log" | grep -o '[0-9]*$') runs"
  else
    echo "fuzz $name: FAILED"
    tail -n 40 "$out/$name/log"
    ls "$out/$name"/crash-* "$out/$name"/leak-* "$out/$name"/timeout-* "$out/$name"/oom-* 2>/dev/null || true
    echo "failed" >"$out/$name/failed"
  fi
}
# FUZZ_JOBS=1 runs one target at a time, for a machine shared with other builds.
# shellcheck disable=SC2086
set -- $targets
while [ $# -gt 0 ]; do
  run "$1" &
  first=$!
  shift
  if [ $# -gt 0 ] && [ "${FUZZ_JOBS:-2}" -gt 1 ]; then
    run "$1" &
    second=$!
    shift
    wait "$second"
  fi
  wait "$first"
done
failed=""
for f in "$out"/*/failed; do
  [ -e "$f" ] && failed="$failed $(basename "$(dirname "$f")")"
done
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed"
  exit 1
fi
echo "fuzzing: every target ran ${seconds}s without a finding"
