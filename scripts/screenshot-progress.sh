#!/usr/bin/env bash
# Saves a picture of the progress popup over the main window while the demo job is
# being programmed into the simulated siren, to docs/progress-popup.png (or the file
# given). The program cancels the run once the picture is taken.
#   scripts/screenshot-progress.sh [OUTPUT.png]
source "$(dirname "$0")/screenshot-common.sh"
output=$(realpath -m "${1:-$repo/docs/progress-popup.png}")
find_program
make_sandbox
write_demo_job
take_shot progress "$output"
