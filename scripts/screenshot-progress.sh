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
# Paced as a slow USB link, so programming lasts long enough for the popup to
# know the time left when the picture is taken.
export ZORVEK_SIMULATOR_FAULTS=slow=3000
take_shot progress "$output"
