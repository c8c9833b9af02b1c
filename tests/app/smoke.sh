#!/usr/bin/env bash
# Starts the real program on the offscreen platform and checks that it is still
# running after a few seconds (no crash at start-up). Usage: smoke.sh <narvo> [file]
set -u
prog=$1; shift
export QT_QPA_PLATFORM=offscreen
export NARVO_CONFIG_DIR=$(mktemp -d)
timeout 3 "$prog" "$@"
rc=$?
rm -rf "$NARVO_CONFIG_DIR"
if [ $rc -eq 124 ]; then
  exit 0
fi
echo "narvo ended with exit code $rc during start-up"
exit 1
