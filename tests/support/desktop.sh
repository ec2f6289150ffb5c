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
  wait_for 100 wmctrl -m >/dev/null 2>&1
  unset QT_QPA_PLATFORM
}

# Repeats a check every 0.1 s for at most $1 tenths of a second: every wait stands for a condition.
wait_for() {
  n=$1
  shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
# The newest visible window whose title matches $1 (a regular expression); empty when none.
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1; }
has_window() { [ -n "$(window "$1")" ]; }
no_window() { [ -z "$(window "$1")" ]; }
# Keys and text for the window $1 (an id) alone: it is made the active window first and the keys
# follow once the manager has done so, so nothing lands in whichever window had the focus.
keys_to() {
  w=$1
  shift
  timeout 10 xdotool windowactivate --sync "$w" key --clearmodifiers "$@"
}
type_to() { timeout 20 xdotool windowactivate --sync "$1" type --delay 20 "$2"; }
# Clicks at client coordinates of the window $1 until the check given after them holds (five tries,
# two seconds each): a click the program receives while it is still busy is dropped, as a user's is.
click_until() {
  w=$1 x=$2 y=$3
  shift 3
  for _ in 1 2 3 4 5; do
    xdotool mousemove --window "$w" "$x" "$y" click 1
    wait_for 20 "$@" && return 0
  done
  return 1
}

# sample_machine copies the sample machine to $work/machine, points KESTRAFEN_MACHINE at it and
# starts it as an ordinary French start (the settings file is Windows-1252: \347 is c cedilla).
sample_machine() {
  export KESTRAFEN_MACHINE="$work/machine"
  cp -r "$(dirname "$0")/../../sample-machine" "$KESTRAFEN_MACHINE"
  printf '[Kestrafen]\r\nLangue=%b\r\n' "${KESTRAFEN_LANGUAGE:-Fran\\0347ais}" \
    > "$KESTRAFEN_MACHINE/drives/C/Program Files/Kestrafen/Kestrafen.ini"
}
