#!/usr/bin/env bash
# Start-up of the real program on a large file against vim on the same file: the
# time from start until a window titled with the file's name is mapped (Narvo,
# under its own Xvfb), vim's time to load the file and quit, and the peak resident
# memory (VmHWM) of each, Narvo's also above its own peak with no file.
#
# Usage: bench/startup-vs-vim.sh <narvo> [MEGABYTES] [RUNS]
#   MEGABYTES  size of the generated file of words (default 100: about 2.7 million
#              lines of 3 to 10 words)
#   RUNS       runs of each measurement; the best time and the highest peak count
#              (default 3)
# Needs Xvfb, xdotool (scripts/install-deps.sh) and vim, which it installs with
# apt-get when it is missing (the benchmark's own need, not the program's).
# NARVO_BENCH_DISPLAY=N runs Xvfb on display :N instead of a free one.
set -u
[ $# -ge 1 ] || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
prog=$(readlink -f "$1")
mb=${2:-100}
runs=${3:-3}
[ -x "$prog" ] || { echo "no program at $prog" >&2; exit 2; }
for tool in Xvfb xdotool python3; do
  command -v $tool >/dev/null || { echo "$tool is not installed (run scripts/install-deps.sh)" >&2; exit 77; }
done
if ! command -v vim >/dev/null; then
  sudo=''; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y --no-install-recommends vim >/dev/null || { echo "cannot install vim" >&2; exit 77; }
fi

work=$(mktemp -d /tmp/narvo-startup-XXXXXX)
xvfb_pid=''
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

file="$work/words.txt"
python3 - "$file" "$mb" <<'PY'
import random, sys
path, mb = sys.argv[1], int(sys.argv[2])
rnd = random.Random(2463534242)
letters = "abcdefghijklmnopqrstuvwxy"
target = mb * 1000 * 1000
out, size = [], 0
while True:
    line = " ".join("".join(rnd.choice(letters) for _ in range(rnd.randint(2, 7)))
                    for _ in range(rnd.randint(3, 10))) + "\n"
    if size + len(line) > target:
        break
    out.append(line)
    size += len(line)
with open(path, "w") as f:
    f.writelines(out)
PY
cat "$file" >/dev/null  # in the page cache for every run
echo "file: $(stat -c %s "$file") bytes, $(wc -l <"$file") lines"

# A free display, or the one named by NARVO_BENCH_DISPLAY (a number).
if [ -n "${NARVO_BENCH_DISPLAY:-}" ]; then
  echo "$NARVO_BENCH_DISPLAY" >"$work/display"
  Xvfb ":$NARVO_BENCH_DISPLAY" -screen 0 1600x1000x24 -nolisten tcp 2>"$work/xvfb.log" &
  sleep 1
  kill -0 $! 2>/dev/null || { echo "Xvfb did not start on :$NARVO_BENCH_DISPLAY: $(cat "$work/xvfb.log")" >&2; exit 1; }
else
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
fi
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
hwm_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

# One start of Narvo: "milliseconds peak-kB" once a window whose title holds
# $2 is mapped (and half a second later for the peak, after the first paint).
narvo_once() {
  local title=$1; shift
  export NARVO_CONFIG_DIR="$work/config"
  rm -rf "$NARVO_CONFIG_DIR"
  local t0 pid wid='' t1 peak
  t0=$(now_ms)
  "$prog" "$@" >"$work/narvo.log" 2>&1 &
  pid=$!
  while [ -z "$wid" ]; do
    wid=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n1)
    kill -0 $pid 2>/dev/null || { echo "narvo ended: $(cat "$work/narvo.log")" >&2; return 1; }
  done
  t1=$(now_ms)
  sleep 0.5
  peak=$(hwm_kb $pid)
  kill $pid; wait $pid 2>/dev/null
  echo "$((t1 - t0)) $peak"
}

# One load and quit of vim: "milliseconds peak-kB" (vim writes its own status
# before quitting).
vim_once() {
  local t0 t1
  t0=$(now_ms)
  vim -u NONE -i NONE -N -n -es "+call writefile(readfile('/proc/'.getpid().'/status'), '$work/vim.status')" +qa! "$file" </dev/null
  t1=$(now_ms)
  echo "$((t1 - t0)) $(awk '/^VmHWM:/ {print $2}' "$work/vim.status")"
}

best() {  # best time, highest peak of "ms kB" lines
  awk 'NR == 1 || $1 < t {t = $1} $2 > p {p = $2} END {print t, p}'
}

empty=$(for _ in $(seq "$runs"); do narvo_once 'Narvo' || exit 1; done | best)
narvo=$(for _ in $(seq "$runs"); do narvo_once 'words\.txt' "$file" || exit 1; done | best)
vimr=$(for _ in $(seq "$runs"); do vim_once; done | best)

read -r empty_ms empty_kb <<<"$empty"
read -r narvo_ms narvo_kb <<<"$narvo"
read -r vim_ms vim_kb <<<"$vimr"
bytes=$(stat -c %s "$file")
awk -v nm="$narvo_ms" -v nk="$narvo_kb" -v em="$empty_ms" -v ek="$empty_kb" -v vm="$vim_ms" -v vk="$vim_kb" -v b="$bytes" 'BEGIN {
  printf "narvo, no file:          window after %5d ms, peak %7.1f MiB\n", em, ek / 1024
  printf "narvo, the file:         window after %5d ms, peak %7.1f MiB (%.2fx the file above the empty program)\n", nm, nk / 1024, (nk - ek) * 1024 / b
  printf "vim, load and quit:      done after   %5d ms, peak %7.1f MiB (%.2fx the file)\n", vm, vk / 1024, vk * 1024 / b
  printf "narvo / vim time:        %.2f\n", nm / vm
}'
