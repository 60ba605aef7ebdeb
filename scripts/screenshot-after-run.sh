#!/usr/bin/env bash
# Saves pictures of the main window once the demo job has been programmed into the
# simulated siren: the status bar says how the run ended, the gauge shows the
# identified flash. Two pictures, to docs/ (or the folder given):
#   after-run.png      the demo job programmed and verified
#   gauge-too-big.png  the same job against a 256 KiB flash: the gauge is red and
#                      Program refuses the job
#   scripts/screenshot-after-run.sh [FOLDER]
source "$(dirname "$0")/screenshot-common.sh"
folder=$(realpath -m "${1:-$repo/docs}")
find_program
make_sandbox
write_demo_job
take_shot after-run "$folder/after-run.png"
rm -f "$ZORVEK_SIMULATOR_FILE"
export ZORVEK_SIMULATOR_SIZE=262144
take_shot after-run "$folder/gauge-too-big.png"
