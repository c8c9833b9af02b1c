#!/usr/bin/env bash
# Installs the build into a temporary prefix (`cmake --install`) and checks that
# every file lands where the freedesktop conventions want it, and that the
# installed program starts and finds its own data there: the word list (a command
# line asks the spelling operand about a word, which fails with "No Dictionary"
# without it) and the help (Alt+F1 opens the "Narvo Help" window, not an error).
# Usage: install.sh <build-dir>. Exit code 77 (skipped) without Xvfb or xdotool.
set -u
build=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
source_dir=$(readlink -f "$here/../..")

work=$(mktemp -d /tmp/narvo-install-XXXXXX)
xvfb_pid=''
narvo_pid=''
cleanup() {
  [ -n "$narvo_pid" ] && stop_process "$narvo_pid"
  [ -n "$xvfb_pid" ] && stop_process "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "install: FAIL: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"

for f in bin/narvo share/narvo/NRVSmall.dix share/narvo/NRVSmall-README.txt share/narvo/help/map.ini \
  share/narvo/help/contents.html share/narvo/fonts/DejaVuSansMono-LICENSE.txt \
  share/applications/narvo.desktop share/icons/hicolor/scalable/apps/narvo.svg \
  share/icons/hicolor/48x48/apps/narvo.png share/icons/hicolor/256x256/apps/narvo.png \
  share/doc/narvo/LICENSE share/doc/narvo/NOTICE; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/narvo" ] || fail "bin/narvo is not executable"
grep -qx 'Icon=narvo' "$prefix/share/applications/narvo.desktop" || fail "the desktop entry names no icon"
grep -qx 'Exec=narvo %f' "$prefix/share/applications/narvo.desktop" || fail "the desktop entry starts no narvo"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/narvo.desktop" || fail "the desktop entry is not valid"
fi

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "install: $tool is not installed" >&2; exit 77; }
done

# The word list: the spelling operand highlights the word; the insertion replaces it
# and Q saves. Without the word list the line stops at "(" and the program stays.
"$source_dir/scripts/e2e-command-line.sh" "$prefix/bin/narvo" -c '(S)Iok \eQ' -t 'hello\n' -e 'ok \n' \
  || fail "the installed program does not find its word list"

# The help, on a display of its own.
. "$source_dir/scripts/xvfb-window.sh"
start_xvfb
printf 'text\n' >"$work/doc.txt"
start_narvo "$prefix/bin/narvo" "$work/doc.txt"
xdotool key alt+F1
help_shown() { help=$(xdotool search --name '^Narvo Help$' 2>/dev/null | head -n1); [ -n "$help" ]; }
wait_until "$e2e_wait" help_shown || fail "Alt+F1 opened no help window: $(xdotool search --name '.' getwindowname %@ 2>/dev/null | sort -u | tr '\n' ' ')"
echo "install: ok"
