# Sourced by the end-to-end scripts: a display of their own and the program's window
# on it. The caller sets $work (a temporary folder), defines fail() and kills
# $xvfb_pid and $narvo_pid when it ends.

# A free display: Xvfb writes the number it took to the descriptor given.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
}

# start_narvo PROGRAM FILE: starts the program on FILE with its settings in $work and
# gives its window (titled "Narvo - <name of FILE>", id in $wid) the keyboard.
start_narvo() {
  export NARVO_CONFIG_DIR="$work/config"
  export QT_QPA_PLATFORM=xcb
  "$1" "$2" >"$work/narvo.log" 2>&1 &
  narvo_pid=$!
  local title
  title="^Narvo - $(basename -- "$2" | sed 's/[.]/\\./g')\$"
  wid=''
  for _ in $(seq 100); do
    wid=$(xdotool search --name "$title" 2>/dev/null | head -n1)
    [ -n "$wid" ] && break
    kill -0 "$narvo_pid" 2>/dev/null || fail "narvo ended at start-up: $(cat "$work/narvo.log")"
    sleep 0.1
  done
  [ -n "$wid" ] || fail "no window titled 'Narvo - $(basename -- "$2")' appeared"
  xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
  sleep 0.5
}
