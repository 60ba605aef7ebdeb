#!/usr/bin/env bash
# Saves a picture of the window in German after the demo job was programmed, to
# docs/main-window-de.png (or the file given).
#   scripts/screenshot-german.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/main-window-de.png}")
find_program
make_sandbox
write_demo_job
export LANG=de_DE.UTF-8 LC_ALL= LANGUAGE=de
take_shot after-run "$output"
