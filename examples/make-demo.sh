#!/usr/bin/env bash
# Makes the demo job: three short spoken messages (espeak-ng) and demo.zfg,
# whose WAV paths are relative to the job file, so the folder can move.
#   examples/make-demo.sh            writes into examples/
#   examples/make-demo.sh FOLDER     writes into FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here}"
mkdir -p "$out"
command -v espeak-ng >/dev/null || { echo "make-demo.sh: espeak-ng is needed" >&2; exit 1; }

say() {  # say FILE TEXT: 16-bit mono WAV at espeak-ng's own rate (22050 samples/s)
  espeak-ng -v en -s 150 -w "$out/$1" "$2"
}
say gas-alarm.wav "Gas alarm. Leave the building now."
say fire-alarm.wav "Fire alarm. Use the nearest exit."
say all-clear.wav "All clear."

# 32 lines, each ended by CR LF: per slot 1..7 the WAV path, tone, beacon;
# firmware path, firmware flag, verify flag, 32-tone DIP flag; the seven volumes
# from the window's top row ("Message 1", slot 7) down.
#   Message 1 (slot 7): gas-alarm.wav,  tone 12, beacon Single, volume 10
#   Message 2 (slot 1): fire-alarm.wav, tone 49 (repeats for ten minutes), beacon Double, volume 8
#   Message 3 (slot 2): all-clear.wav,  no tone, no beacon, volume 6
#   Message 4 (slot 3): gas-alarm.wav again (shares its samples), tone 5, beacon Static, volume 10
lines=(
  fire-alarm.wav 49 2
  all-clear.wav 0 0
  gas-alarm.wav 5 3
  "" 0 0
  "" 0 0
  "" 0 0
  gas-alarm.wav 12 1
  "" 0 1 0
  0 2 4 0 0 0 0
)
printf '%s\r\n' "${lines[@]}" > "$out/demo.zfg"
echo "Demo job written to $out/demo.zfg"
