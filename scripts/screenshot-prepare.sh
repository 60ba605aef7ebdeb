#!/usr/bin/env bash
# Saves a picture of the Prepare dialog over the main window: the demo job's top
# message trimmed, high-passed for horns and brought to -16 LUFS, with its
# figures before and after. To docs/prepare-dialog.png (or the folder given):
#   scripts/screenshot-prepare.sh [FOLDER]
source "$(dirname "$0")/screenshot-common.sh"
folder=$(realpath -m "${1:-$repo/docs}")
find_program
make_sandbox
write_demo_job
take_shot prepare "$folder/prepare-dialog.png"
