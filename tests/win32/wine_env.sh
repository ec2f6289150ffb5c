# Sourced by the Wine test scripts: a fresh, headless Wine prefix under a temporary folder, and
# the Windows name of a Linux path (Wine's drive Z: is the Linux root).
# Sets: work (the temporary folder, removed by wine_cleanup), WINEPREFIX, WINEDEBUG.
work=$(mktemp -d)
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
