# shellcheck shell=bash
# Shared by screenshot-main-window.sh and screenshot-progress.sh (sourced, not run).
#
# Runs the built desktop program on the simulated siren under Xvfb, in a throw-away
# HOME, with a demo job of spoken messages, and has the program save a picture of
# itself: the program takes the shot when ZORVEK_SCREENSHOT names a PNG file
# (ZORVEK_SCREENSHOT_TARGET says of what), then exits.
#
# Environment:
#   ZORVEK_PROGRAMMER  the program to run (default: build/src/app/zorvek-programmer,
#                      built first when missing)
#   ZORVEK_KEEP_TEMP=1 keep the temporary HOME for a look afterwards
#   ZORVEK_SHOT_SCREEN the virtual screen's size (default 1280x1024)

set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The pictures show the job's file paths. In a private mount namespace the
# throw-away home can sit at /home/$shot_user, so they read as a user's own files
# instead of a temporary folder's. Where namespaces are not allowed, the pictures
# show the temporary folder.
shot_user=sam
if [[ -z ${ZORVEK_SHOT_NAMESPACE:-} ]] && command -v unshare >/dev/null &&
  unshare --user --map-root-user --mount true 2>/dev/null; then
  export ZORVEK_SHOT_NAMESPACE=1
  exec unshare --user --map-root-user --mount bash "$0" "$@"
fi

die() {
  echo "${0##*/}: $*" >&2
  exit 1
}

find_program() {
  gui=${ZORVEK_PROGRAMMER:-$repo/build/src/app/zorvek-programmer}
  if [[ ! -x $gui && -z ${ZORVEK_PROGRAMMER:-} ]]; then
    echo "Building zorvek-programmer..." >&2
    [[ -f $repo/build/CMakeCache.txt ]] || cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
    cmake --build "$repo/build" --target zorvek-programmer -j2 >&2 ||
      die "cannot build zorvek-programmer (is src/app part of this tree?)"
  fi
  [[ -x $gui ]] || die "no program at $gui"
}

make_sandbox() {
  sandbox=$(mktemp -d /tmp/zorvek-shot.XXXXXX)
  if [[ ${ZORVEK_KEEP_TEMP:-0} == 1 ]]; then
    echo "Keeping $sandbox" >&2
  else
    trap 'rm -rf "$sandbox"' EXIT
  fi
  export HOME=$sandbox/home
  if [[ -n ${ZORVEK_SHOT_NAMESPACE:-} ]]; then
    # A fresh /home that still holds every existing home folder (the tree and the
    # program may live in one), plus the picture's user.
    # The view of the old /home is not inside $sandbox, whose removal must never
    # reach real home folders; rmdir removes only an empty (unmounted) folder.
    local view entry
    view=$(mktemp -d /tmp/zorvek-shot-home.XXXXXX)
    mount --bind /home "$view"
    mount -t tmpfs tmpfs /home
    for entry in "$view"/*; do
      [[ -d $entry && ${entry##*/} != "$shot_user" ]] || continue
      mkdir "/home/${entry##*/}"
      mount --bind "$entry" "/home/${entry##*/}"
    done
    umount "$view" && rmdir "$view"
    export HOME=/home/$shot_user
  else
    echo "unshare is not available: the pictures will show $HOME" >&2
  fi
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  export XDG_RUNTIME_DIR=$sandbox/runtime
  mkdir -p "$XDG_CONFIG_HOME/Zorvek" "$XDG_DATA_HOME/Zorvek" "$XDG_CACHE_HOME" "$HOME/Sirens"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export ZORVEK_ADAPTER=simulator
  export ZORVEK_SIMULATOR_FILE=$XDG_DATA_HOME/Zorvek/simulated-siren.bin
  unset ZORVEK_SIMULATOR_FAULTS ZORVEK_SIMULATOR_SIZE
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
}

# say FILE TEXT: a spoken message, or a tone burst where no speech synthesiser is installed.
say() {
  if command -v espeak-ng >/dev/null; then
    espeak-ng -v en -s 150 -w "$1" "$2"
  elif command -v sox >/dev/null; then
    sox -n -r 22050 -b 16 -c 1 "$1" synth 1.5 sine 600:1200 vol 0.5
  else
    die "neither espeak-ng nor sox is installed"
  fi
}

# A gas-warning job: four of the seven rows in use, Verify on.
write_demo_job() {
  local dir=$HOME/Sirens
  say "$dir/default-warning.wav" "Attention please. This is a test of the gas warning system."
  say "$dir/stage1-alert.wav" "Alert. Gas has been detected. Stand by for further instructions."
  say "$dir/stage2-imminent.wav" "Warning. Gas release is imminent. Leave the area now."
  say "$dir/stage3-released.wav" "Gas has been released. Do not enter the area."
  say "$dir/release-on-hold.wav" "Gas release is on hold."
  # Keys with spaces are written %20-escaped, as the settings library itself writes them.
  cat >"$XDG_CONFIG_HOME/Zorvek/zorvek-programmer.conf" <<CONF
[Settings]
WAV1%20Location=$dir/stage1-alert.wav
WAV2%20Location=$dir/stage2-imminent.wav
WAV3%20Location=$dir/stage3-released.wav
WAV4%20Location=
WAV5%20Location=
WAV6%20Location=$dir/release-on-hold.wav
WAV7%20Location=$dir/default-warning.wav
Compression=0
Verbose=0
Verify=1
Tone%201=3
Tone%202=49
Tone%203=50
Tone%204=0
Tone%205=0
Tone%206=0
Tone%207=12
Bcn%201=2
Bcn%202=2
Bcn%203=3
Bcn%204=0
Bcn%205=0
Bcn%206=0
Bcn%207=1
Vol%201=0
Vol%202=0
Vol%203=0
Vol%204=0
Vol%205=0
Vol%206=0
Vol%207=2
Usage=0
WAV%20Location=$dir/
HEX%20Location=
ZFG%20Location=$dir/
ZMG%20Location=$dir/
CONF
}

# take_shot TARGET OUTPUT: runs the program until it has saved OUTPUT.
take_shot() {
  local target=$1 output=$2 status=0
  mkdir -p "$(dirname "$output")"
  rm -f "$output"
  local run=(env ZORVEK_SCREENSHOT="$output" ZORVEK_SCREENSHOT_TARGET="$target" timeout 180 "$gui")
  if command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${ZORVEK_SHOT_SCREEN:-1280x1024}x24 -nolisten tcp" "${run[@]}" ||
      status=$?
  else
    echo "xvfb-run is not installed: using Qt's offscreen platform instead" >&2
    QT_QPA_PLATFORM=offscreen "${run[@]}" || status=$?
  fi
  [[ $status -ne 124 ]] || die "the program did not take the picture within 180 s"
  [[ -s $output ]] || die "no picture at $output (exit status $status): does this zorvek-programmer honour ZORVEK_SCREENSHOT?"
  [[ $(head -c 8 "$output" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || die "$output is not a PNG file"
  echo "$output"
}
