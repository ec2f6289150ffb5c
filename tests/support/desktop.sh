# Sourced by the end-to-end scripts. start_desktop starts Xvfb and openbox in the folder $work and
# returns once the window manager answers: a desktop has its manager before any program starts,
# and a window mapped while openbox is still starting may never be managed. Sets DISPLAY, xvfb, wm.
start_desktop() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.3
  unset QT_QPA_PLATFORM
}

# sample_machine copies the sample machine to $work/machine, points KESTRAFEN_MACHINE at it and
# starts it as an ordinary French start (the settings file is Windows-1252: \347 is c cedilla).
sample_machine() {
  export KESTRAFEN_MACHINE="$work/machine"
  cp -r "$(dirname "$0")/../../sample-machine" "$KESTRAFEN_MACHINE"
  printf '[Kestrafen]\r\nLangue=%b\r\n' "${KESTRAFEN_LANGUAGE:-Fran\\0347ais}" \
    > "$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen/Kestrafen.ini"
}
