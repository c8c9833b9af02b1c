#!/usr/bin/env bash
# End-to-end run of the real program under Xvfb: starts narvo on a file, types a
# command line with xdotool (Esc in the text pane, the commands, Esc Esc), and
# checks the file and its ".BAK" on disk after the program has ended. The command
# line should end with Q (save and exit) or T.
#
# Usage: e2e-command-line.sh <narvo> [-c COMMANDS] [-t TEXT] [-e EXPECTED] [-b] [-s KEY] [-n NAME] [-k]
#   -c COMMANDS  the command line; "\e" stands for the Esc key and "\cX" for
#                Ctrl+X (a letter) (default: 'Ihello \eQ', insert "hello " and save
#                and exit)
#   -t TEXT      the file's text before (printf %b escapes; default 'world\n')
#   -e EXPECTED  the file's text after (printf %b escapes); needed with -c.
#                When it differs from TEXT, the ".BAK" must hold TEXT.
#   -b           first run the endless loop #{J} and stop it with Ctrl+Break
#                (Ctrl+Pause); the command line then runs as usual
#   -s KEY       the command line waits for a key with (K): Shift goes down, KEY
#                is typed, and Shift stays down a while as the run goes on
#   -n NAME      the file's name (default doc.txt); the program starts in the
#                file's folder and gets NAME alone, even one like "-reverse"
#   -k           keep the work folder and print its path
# Needs Xvfb and xdotool (scripts/install-deps.sh installs them).
set -u

usage() { sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

[ $# -ge 1 ] || usage
prog=$(readlink -f "$1"); shift
commands='Ihello \eQ'
text='world\n'
expected=''
keep=0
custom=0
breakloop=0
shiftkey=''
name='doc.txt'
while getopts "c:t:e:bs:n:k" opt; do
  case $opt in
    c) commands=$OPTARG; custom=1 ;;
    t) text=$OPTARG ;;
    e) expected=$OPTARG ;;
    b) breakloop=1 ;;
    s) shiftkey=$OPTARG ;;
    n) name=$OPTARG ;;
    k) keep=1 ;;
    *) usage ;;
  esac
done
if [ -z "$expected" ]; then
  if [ $custom -eq 1 ]; then
    echo "e2e: -e EXPECTED is needed with -c" >&2
    exit 2
  fi
  expected="hello $text"
fi
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "e2e: $tool is not installed (run scripts/install-deps.sh)" >&2; exit 77; }
done
[ -x "$prog" ] || { echo "e2e: no program at $prog" >&2; exit 2; }

work=$(mktemp -d /tmp/narvo-e2e-XXXXXX)
xvfb_pid=''
narvo_pid=''
cleanup() {
  [ -n "$narvo_pid" ] && stop_process "$narvo_pid"
  [ -n "$xvfb_pid" ] && stop_process "$xvfb_pid"
  if [ $keep -eq 1 ]; then echo "e2e: work folder $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() { echo "e2e: FAIL: $*" >&2; exit 1; }

. "$(dirname "$0")/xvfb-window.sh"
start_xvfb

file="$work/$name"
printf '%b' "$text" >"$file"
printf '%b' "$expected" >"$work/expected"
cp "$file" "$work/before"

if [ "$name" = doc.txt ]; then
  start_narvo "$prog" "$file"
else
  cd "$work" && start_narvo "$prog" "$name"
fi

# A loop that never ends by itself must stop on Ctrl+Break, leaving the program
# ready for the next command line.
if [ $breakloop -eq 1 ]; then
  xdotool key --delay 80 Escape
  xdotool type --delay 60 -- '#{J}'
  xdotool key --delay 120 Escape Escape
  wait_busy "$narvo_pid" "the endless loop does not run"
  xdotool key ctrl+Pause
  wait_idle "$narvo_pid" "the endless loop goes on after Ctrl+Break"
fi

# Esc in the pane opens the next command line; the commands follow, Esc Esc runs them.
xdotool key --delay 80 Escape
rest=$commands
part=''
flush() { [ -n "$part" ] && xdotool type --delay 60 -- "$part"; part=''; }
while [ -n "$rest" ]; do
  case $rest in
    '\e'*) flush; xdotool key --delay 80 Escape; rest=${rest#??} ;;
    '\c'?*) flush; xdotool key --delay 80 "ctrl+${rest:2:1}"; rest=${rest#???} ;;
    *) part=$part${rest:0:1}; rest=${rest#?} ;;
  esac
done
flush
xdotool key --delay 120 Escape Escape

# Shift held while a key is typed at the key wait, and still held as the run goes
# on: the control keys after the wait read it. It stays down until the program has
# ended, however long the rest of the run takes.
if [ -n "$shiftkey" ]; then
  wait_idle "$narvo_pid" "the command line does not wait for a key"
  xdotool keydown shift
  xdotool key "$shiftkey"
fi

narvo_ended() { ! kill -0 "$narvo_pid" 2>/dev/null; }
wait_until "$e2e_wait" narvo_ended ||
  fail "narvo is still running ${e2e_wait} s after the command line (did it end with Q or T?)"
if [ -n "$shiftkey" ]; then xdotool keyup shift; fi
wait "$narvo_pid"
rc=$?
narvo_pid=''
[ $rc -eq 0 ] || fail "narvo ended with exit code $rc: $(cat "$work/narvo.log")"

cmp -s "$file" "$work/expected" || fail "the file holds $(od -c "$file" | head -n5), expected $(od -c "$work/expected" | head -n5)"
if ! cmp -s "$work/before" "$work/expected"; then
  [ -f "$file.BAK" ] || fail "no $name.BAK beside the saved file"
  cmp -s "$file.BAK" "$work/before" || fail "$name.BAK does not hold the text before"
fi
echo "e2e: ok"
