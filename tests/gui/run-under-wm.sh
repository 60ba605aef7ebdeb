#!/bin/bash
# Runs the window tests named by a GoogleTest filter on a private Xvfb display
# with openbox managing the windows, so frames and their decorations are real.
# Usage: run-under-wm.sh TEST-PROGRAM FILTER
# The X server picks its own free display number (-displayfd): choosing one
# beforehand, as xvfb-run -a does, races with other X servers starting at the
# same moment.
set -euo pipefail
program=$1 filter=$2
work=$(mktemp -d)
server=
wm=
cleanup() {
  [[ -n $wm ]] && kill "$wm" 2>/dev/null
  [[ -n $server ]] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
if ! read -r -t 30 number <"$work/display"; then
  echo "run-under-wm: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Wait until the window manager has announced itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
QT_QPA_PLATFORM=xcb "$program" --gtest_filter="$filter"
