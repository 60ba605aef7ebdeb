#!/usr/bin/env bash
# Saves a picture of the main window on the simulated siren, with a demo gas-warning
# job loaded, to docs/main-window.png (or the file given).
#   scripts/screenshot-main-window.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/main-window.png}")
find_program
make_sandbox
write_demo_job
take_shot main-window "$output"
