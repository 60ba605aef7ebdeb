#!/usr/bin/env bash
# Saves a picture of the adapter chooser over the main window, with three simulated
# adapters attached, to docs/adapter-chooser.png (or the file given).
#   scripts/screenshot-adapter-chooser.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/adapter-chooser.png}")
find_program
make_sandbox
write_demo_job
export ZORVEK_SIMULATOR_COUNT=3
take_shot adapter-chooser "$output"
