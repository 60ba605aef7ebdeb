#!/usr/bin/env bash
# Saves a picture of a whole 1024 x 768 screen with the window on it after the
# demo job was programmed, end-of-run line included, to docs/screen-1024x768.png
# (or the file given).
#   scripts/screenshot-small-screen.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/screen-1024x768.png}")
find_program
make_sandbox
write_demo_job
export ZORVEK_SHOT_SCREEN=1024x768
take_shot screen-after-run "$output"
