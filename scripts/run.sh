#!/bin/sh
# Sets up, builds and starts Kestrafen on the simulated Windows XP machine.
set -e
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/kestrafen
