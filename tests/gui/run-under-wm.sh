#!/bin/bash
# Runs the window tests named by a GoogleTest filter on a private Xvfb display
# with openbox managing the windows, so frames and their decorations are real.
# Usage: run-under-wm.sh TEST-PROGRAM FILTER
# A display can fail to start when other X servers start at the same moment,
# so the run is tried up to three times; a real fault fails every time.
set -uo pipefail
program=$1 filter=$2
status=1
for attempt in 1 2 3; do
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    trap "kill $wm 2>/dev/null" EXIT
    # Wait until the window manager has announced itself on the root window.
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
      sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$0" --gtest_filter="$1"
  ' "$program" "$filter"
  status=$?
  [[ $status -eq 0 ]] && exit 0
  echo "run-under-wm: attempt $attempt ended with status $status" >&2
done
exit "$status"
