#!/usr/bin/env bash
# Saves a picture of the window after the demo job was programmed, on a dark
# palette as under a desktop's dark theme, to docs/main-window-dark.png (or the
# file given).
#   scripts/screenshot-dark.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/main-window-dark.png}")
find_program
make_sandbox
write_demo_job
export ZORVEK_SCREENSHOT_PALETTE=dark
take_shot after-run "$output"
