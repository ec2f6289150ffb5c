# Sourced by the Wine test scripts: a fresh, headless Wine prefix under a temporary folder, the
# loader that matches the build under test, and the Windows name of a Linux path (Wine's drive Z:
# is the Linux root).
# KESTRAFEN_WINE_BITS (32 or 64, set by CTest) picks the loader: the "wine" command takes the 32-bit
# one whenever wine32 is installed, which a kernel without 32-bit support cannot run, while the
# 64-bit build only needs the 64-bit loader. Where the 32-bit one cannot run, a 32-bit test exits
# with 77, which CTest reports as skipped (KESTRAFEN_NO_32BIT=1 takes that path on any machine).
# Sets: work (the temporary folder, removed by wine_cleanup), WINEPREFIX, WINEDEBUG, WINELOADER.
wine_bits="${KESTRAFEN_WINE_BITS:-32}"
if [ "$wine_bits" = 64 ]; then
  WINELOADER=/usr/lib/wine/wine64 # Debian's wine64; elsewhere the loader on the path
  [ -x "$WINELOADER" ] || WINELOADER=$(command -v wine64 || command -v wine)
else
  WINELOADER=/usr/lib/wine/wine
  [ -x "$WINELOADER" ] || WINELOADER=$(command -v wine)
  why=""
  if [ "${KESTRAFEN_NO_32BIT:-}" = 1 ]; then
    why="KESTRAFEN_NO_32BIT=1"
  elif ! "$WINELOADER" --version >/dev/null 2>&1; then
    why=$("$WINELOADER" --version 2>&1 | head -n 1)
  fi
  if [ -n "$why" ]; then
    echo "SKIP: this machine runs no 32-bit program ($why): 32-bit programs are not tested here"
    exit 77
  fi
fi
export WINELOADER
work=$(mktemp -d)
# "wine" is that loader for the scripts and for what they start (timeout, xvfb-run).
mkdir -p "$work/bin"
printf '#!/bin/sh\nexec "%s" "$@"\n' "$WINELOADER" > "$work/bin/wine"
chmod +x "$work/bin/wine"
export PATH="$work/bin:$PATH"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No Mono or Gecko installer prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_path() {
  printf 'Z:%s' "$1" | tr / '\\'
}
wine_cleanup() {
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
wine_boot() {
  started=$(date +%s)
  timeout 180 wine wineboot -i >/dev/null 2>&1
  timeout 60 wineserver -w
  echo "wineboot: $(( $(date +%s) - started )) s"
}
