#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the bash completion of zorvek-cli by calling it as bash would on a Tab.
#   completion.sh ZORVEK-CLI COMPLETION-FILE
# Exit 77 (skipped) without bash-completion.
set -uo pipefail
export LC_ALL=C
cli=$1
completion=$2
framework=/usr/share/bash-completion/bash_completion
[[ -r $framework ]] || { echo "bash-completion is not installed"; exit 77; }
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$completion"

failures=0
check() {  # check WHAT EXPECTED ACTUAL
    if [[ $2 == "$3" ]]; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        echo "     expected: $2"
        echo "     got:      $3"
        failures=$((failures + 1))
    fi
}

# check_set WHAT EXPECTED ACTUAL: as check, naming what is missing and what is extra.
words_of() { tr -s ' \n' '\n\n' <<<"$1" | grep -v '^$' | sort -u; }
check_set() {
    local missing extra
    missing=$(comm -23 <(words_of "$2") <(words_of "$3") | tr '\n' ' ')
    extra=$(comm -13 <(words_of "$2") <(words_of "$3") | tr '\n' ' ')
    check "$1" "" "${missing:+not offered: $missing}${extra:+offered but not in --help: $extra}"
}

# complete WORD...: what a Tab offers with the cursor at the end of the last word
# (words as bash splits them: "--device=SI" is "--device" "=" "SI").
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE=$(printf '%s ' "$@")
    COMP_LINE=${COMP_LINE% }
    COMP_LINE=${COMP_LINE// = /=}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _zorvek_cli "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

help=$("$cli" --help) || { echo "FAIL $cli --help"; exit 1; }
help_commands=$(awk '/^Commands:/ { on = 1; next } /^$/ { on = 0 } on && /^  [a-z]/ { print $1 }' <<<"$help" | sort | tr '\n' ' ')
options_in() { grep -oE '(^|[[:space:][|(,])--?[A-Za-z][A-Za-z0-9-]*' | sed 's/^[^-]*//' | sort -u; }
help_options=$(options_in <<<"$help" | tr '\n' ' ')

# Every command and option of --help, and nothing else: a command or option added to
# the program needs its line in packaging/bash-completion/zorvek-cli.
check_set "commands are those of --help" "$help_commands" "$(complete_words zorvek-cli "")"
check "commands complete from a prefix" "identify image info" "$(complete_words zorvek-cli --stats i)"
offered=$(complete_words zorvek-cli -)
for command in $help_commands; do
    for_command=$(complete_words zorvek-cli "$command" x -)
    offered+=" $for_command"
    # The options on the command's own line of --help.
    own=$(grep -E "^  $command( |$)" <<<"$help" | sed "s/^  $command//" | options_in | tr '\n' ' ')
    for option in $own; do
        [[ " $for_command " == *" $option "* ]] || check "$command offers $option" "$option" "$for_command"
    done
done
check_set "options are those of --help" "$help_options" "$offered"
check "command options only after their command" "" "$(complete_words zorvek-cli --j)"

# Option values, also in the --option=value form.
check "--adapter" "ftdi simulator" "$(complete_words zorvek-cli --adapter "")"
check "--adapter=s" "simulator" "$(complete_words zorvek-cli --adapter = s)"
check "--simulator-size" "1M 256K 2M 4M 512K" "$(complete_words zorvek-cli --simulator-size "")"
check "--message" "1 2 3 4 5 6 7" "$(complete_words zorvek-cli extract x.zmg --message "")"

# File names by the kind of file each command takes; folders are always offered.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir Sirens
touch job.zfg siren.zmg image.bin firmware.hex message.wav notes.txt
check "program takes a job" "Sirens job.zfg" "$(complete_words zorvek-cli program "")"
check "image takes a job" "Sirens job.zfg" "$(complete_words zorvek-cli --quiet image "")"
check "image -o writes an image" "Sirens image.bin" "$(complete_words zorvek-cli image job.zfg -o "")"
for command in read write info extract; do
    check "$command takes siren images" "Sirens image.bin siren.zmg" "$(complete_words zorvek-cli "$command" "")"
done
check "extract -o writes a WAV file" "Sirens message.wav" "$(complete_words zorvek-cli extract siren.zmg -o "")"
check "--output= is -o" "message.wav" "$(complete_words zorvek-cli extract siren.zmg --output = m)"
check "firmware takes Intel HEX" "Sirens firmware.hex" "$(complete_words zorvek-cli firmware "")"
check "an option's value is not the command" "Sirens job.zfg" \
    "$(complete_words zorvek-cli --simulator-file siren.bin --device X program "")"
check "identify takes no file" "" "$(complete_words zorvek-cli identify "")"

# Serial numbers come from `zorvek-cli adapters`; a program without that command,
# or without adapters, offers none and prints nothing.
cat >"$work/with-adapters" <<'EOF'
#!/bin/sh
[ "$1" = adapters ] || exit 2
printf 'FT4A21B9  FT2232H  0403:6010\nA7Q3ZK1  FT4232H  0403:6011\n'
EOF
cat >"$work/without-adapters" <<'EOF'
#!/bin/sh
echo "zorvek-cli: unknown command \"$1\"" >&2
exit 2
EOF
chmod +x "$work/with-adapters" "$work/without-adapters"
check "--device offers the serial numbers" "A7Q3ZK1 FT4A21B9" \
    "$(complete_words "$work/with-adapters" --device "")"
check "--device=F" "FT4A21B9" "$(complete_words "$work/with-adapters" --device = F)"
check "--device is silent when adapters fails" "" "$(complete_words "$work/without-adapters" --device "" 2>&1)"
check "--device with the real program is silent" "" "$(complete_words "$cli" --device "" 2>&1 | grep -v '^[A-Za-z0-9]*$')"

# A serial number is data: a crafted one (a rewritten EEPROM) runs nothing on Tab
# and is offered quoted, so running the completed line runs nothing either.
cat >"$work/hostile-adapter" <<EOF
#!/bin/sh
printf '%s  FT2232H  0403:6010\n' '\$(touch\${IFS}$work/ran)' '\`touch\${IFS}$work/ran\`'
EOF
chmod +x "$work/hostile-adapter"
offered=$(complete_words "$work/hostile-adapter" --device "")
check "a serial with shell syntax runs nothing" "no" "$([[ -e $work/ran ]] && echo yes || echo no)"
eval "echo $offered" >/dev/null
check "the offered serial runs nothing when used" "no" "$([[ -e $work/ran ]] && echo yes || echo no)"
check "a serial with shell syntax is offered" "2" "$(wc -w <<<"$offered" | tr -d ' ')"

echo "$failures failed"
[[ $failures -eq 0 ]]
