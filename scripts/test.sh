#!/bin/sh
# Sets up, builds and runs every test. With "asan" as argument: the sanitizer build instead.
set -e
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
