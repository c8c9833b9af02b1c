#!/usr/bin/env bash
# End-to-end run of the real program under Xvfb as at a logout: three narvo windows
# with one settings folder, each typed into, get SIGTERM at the same moment. Each
# must end with exit code 0 leaving its own draft in the backup folder (the dated
# names are the same to the second), the list for the next start must hold all
# three, and a fourth start must take that list (its status line says
# "3 drafts kept at exit ...").
#
# Usage: e2e-drafts.sh <narvo> [-k] [-p SCREENSHOT]
#   -k             keep the work folder and print its path
#   -p SCREENSHOT  save a picture of the fourth start's window there (needs import)
# Needs Xvfb and xdotool (scripts/install-deps.sh installs them).
set -u

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

[ $# -ge 1 ] || usage
prog=$(readlink -f "$1"); shift
keep=0
picture=''
while getopts "kp:" opt; do
  case $opt in
    k) keep=1 ;;
    p) picture=$OPTARG ;;
    *) usage ;;
  esac
done
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "e2e: $tool is not installed (run scripts/install-deps.sh)" >&2; exit 77; }
done
[ -x "$prog" ] || { echo "e2e: no program at $prog" >&2; exit 2; }

work=$(mktemp -d /tmp/narvo-e2e-XXXXXX)
xvfb_pid=''
narvo_pid=''
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do stop_process "$p"; done
  [ -n "$narvo_pid" ] && stop_process "$narvo_pid"
  [ -n "$xvfb_pid" ] && stop_process "$xvfb_pid"
  if [ $keep -eq 1 ]; then echo "e2e: work folder $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() { echo "e2e: FAIL: $*" >&2; exit 1; }

. "$(dirname "$0")/xvfb-window.sh"
start_xvfb

for name in a b c; do
  printf 'world %s\n' "$name" >"$work/$name.txt"
  start_narvo "$prog" "$work/$name.txt"
  mv "$work/narvo.log" "$work/narvo-$name.log"
  xdotool type --delay 40 -- "typed-$name "
  wait_idle "$narvo_pid" "after typing into $name.txt"
  pids+=("$narvo_pid")
  narvo_pid=''
done

# At one moment, as the desktop does at a logout.
kill -TERM "${pids[@]}"
for p in "${pids[@]}"; do
  ended() { ! kill -0 "$p" 2>/dev/null; }
  wait_until "$e2e_wait" ended || fail "narvo $p still runs ${e2e_wait} s after SIGTERM"
  wait "$p"
  rc=$?
  [ $rc -eq 0 ] || fail "narvo $p ended with exit code $rc: $(cat "$work"/narvo-*.log)"
done
pids=()

drafts="$work/config/BackupFiles"
count=$(find "$drafts" -maxdepth 1 -name 'NRV*.txt' | wc -l)
[ "$count" -eq 3 ] || fail "$count drafts in the backup folder, expected 3: $(ls -la "$drafts")"
for name in a b c; do
  grep -lqx "typed-$name world $name" "$drafts"/NRV*.txt || fail "no draft holds the text typed into $name.txt"
done
for f in "$drafts"/NRV*.txt; do
  [ "$(stat -c %a "$f")" = 600 ] || fail "$f is not private: $(stat -c %a "$f")"
done
for name in a b c; do
  cmp -s "$work/$name.txt" <(printf 'world %s\n' "$name") || fail "$name.txt was changed"
done
lines=$(wc -l <"$drafts/.kept-at-exit")
[ "$lines" -eq 3 ] || fail "the list for the next start holds $lines lines: $(cat "$drafts/.kept-at-exit")"

# The next start reports the list (and takes it away).
printf 'fourth\n' >"$work/d.txt"
start_narvo "$prog" "$work/d.txt"
[ -e "$drafts/.kept-at-exit" ] && fail "the next start left the list in place"
if [ -n "$picture" ]; then
  import -window root "$picture" || fail "no screenshot"
fi
echo "e2e: ok"
