#!/bin/sh
# Installs what building, running and testing Kestrafen needs (Debian packages).
set -e
packages="cmake g++ make pkg-config qt6-base-dev libmspack-dev libgcab-dev libcurl4-openssl-dev
  nlohmann-json3-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool wmctrl openbox imagemagick x11-utils fonts-wine fonts-liberation fonts-dejavu-core"
missing=""
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q || true
# shellcheck disable=SC2086
$sudo apt-get install -y -q $missing
