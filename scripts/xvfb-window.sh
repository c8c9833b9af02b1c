# Sourced by the end-to-end scripts: a display of their own and the program's window
# on it. The caller sets $work (a temporary folder), defines fail() and stops
# $narvo_pid and $xvfb_pid (stop_process) when it ends.
#
# A busy machine (two cores, a build beside, the program under the sanitizers) is many
# times slower than a quiet desk, so nothing here sleeps for a time that assumes speed:
# every wait is for a condition, and gives up with a message only after
# $NARVO_E2E_WAIT seconds (default 60), which only a real fault reaches.

e2e_wait=${NARVO_E2E_WAIT:-60}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; status 1
# when SECONDS pass first.
wait_until() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# A free display. Xvfb writes the number it took to the descriptor given once it
# listens; a client then proves that it answers. -noreset matters: by default the
# server resets when its last client leaves and drops a client that connected in that
# moment, so the program, starting while a probe of xdotool disconnected, failed with
# "could not connect to display". A server that dies or stays mute is started again.
start_xvfb() {
  local try end
  for try in 1 2 3; do
    unset DISPLAY
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    end=$((SECONDS + e2e_wait / 2))
    while ! grep -qx '[0-9][0-9]*' "$work/display" && kill -0 "$xvfb_pid" 2>/dev/null && [ $SECONDS -lt $end ]; do
      sleep 0.1
    done
    if grep -qx '[0-9][0-9]*' "$work/display"; then
      export DISPLAY=":$(head -n1 "$work/display")"
      wait_until $((end - SECONDS)) xvfb_answers && return 0
    fi
    echo "Xvfb (try $try) did not answer on ${DISPLAY:-no display}: $(tail -n3 "$work/xvfb.log")" >&2
    stop_process "$xvfb_pid"
    xvfb_pid=''
  done
  fail "Xvfb did not start: $(cat "$work/xvfb.log")"
}

# stop_process PID: ends a process of ours and waits for it, so that nothing writes
# into the work folder as it is removed; one that ignores the request for 10 s is
# killed.
stop_process() {
  kill "$1" 2>/dev/null || return 0
  local end=$((SECONDS + 10))
  while kill -0 "$1" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.1; done
  kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# Whether our server is alive and takes a client.
xvfb_answers() {
  kill -0 "$xvfb_pid" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1
}

# The program's processor time so far, in clock ticks.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- $stat
  echo $((${12} + ${13}))
}

# wait_cpu PID MIN MAX WHAT STATE: waits until PID uses between MIN and MAX ticks of
# processor time in one second; fails with "narvo STATE: WHAT" when it never does,
# or when it has ended.
wait_cpu() {
  local end=$((SECONDS + e2e_wait)) before now
  before=$(cpu_ticks "$1") || fail "narvo ended ($4): $(cat "$work/narvo.log")"
  while :; do
    sleep 1
    now=$(cpu_ticks "$1") || fail "narvo ended ($4): $(cat "$work/narvo.log")"
    [ $((now - before)) -ge "$2" ] && [ $((now - before)) -le "$3" ] && return 0
    [ $SECONDS -lt $end ] || fail "narvo $5: $4"
    before=$now
  done
}

# wait_idle PID WHAT: a program at rest, or at a key wait (at most 2 ticks a second).
wait_idle() { wait_cpu "$1" 0 2 "$2" "stays busy"; }

# wait_busy PID WHAT: a program using the processor steadily (at least 5 ticks a
# second, which a program at rest never does).
wait_busy() { wait_cpu "$1" 5 1000000 "$2" "stays at rest"; }

# Whether the window $wid has the keyboard (after asking for it).
has_focus() {
  xdotool windowfocus --sync "$wid" 2>/dev/null
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$wid" ]
}

# start_narvo PROGRAM FILE: starts the program on FILE with its settings in $work,
# gives its window (titled "Narvo - <name of FILE>", id in $wid) the keyboard, and
# waits until the start-up is done.
start_narvo() {
  export NARVO_CONFIG_DIR="$work/config"
  export QT_QPA_PLATFORM=xcb
  "$1" "$2" >"$work/narvo.log" 2>&1 &
  narvo_pid=$!
  local title end
  title="^Narvo - $(basename -- "$2" | sed 's/[.]/\\./g')\$"
  wid=''
  end=$((SECONDS + e2e_wait))
  while :; do
    # Only a mapped window can take the keyboard.
    wid=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n1)
    [ -n "$wid" ] && break
    kill -0 "$narvo_pid" 2>/dev/null || fail "narvo ended at start-up: $(cat "$work/narvo.log")"
    [ $SECONDS -lt $end ] || fail "no window titled 'Narvo - $(basename -- "$2")' appeared in ${e2e_wait} s"
    sleep 0.1
  done
  wait_until "$e2e_wait" has_focus || fail "the window $wid does not take the keyboard"
  wait_idle "$narvo_pid" "at start-up"
}
