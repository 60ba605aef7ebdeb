#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every zorvek-cli command that README.md, the manual pages and the help page
# show, against the simulated siren, in the order the documents give them, so a
# document never shows a command that fails.
#   doc-commands.sh ZORVEK-CLI SOURCE-DIR
set -uo pipefail
export LC_ALL=C
cli=$(realpath "$1")
source_dir=$(realpath "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home"
ln -s "$cli" "$work/bin/zorvek-cli"

# The files the examples name: the demo job (here and under examples/), jobs of other
# names, a firmware file.
cp -r "$source_dir/examples" "$work/examples"
cp "$source_dir"/examples/*.wav "$source_dir/examples/demo.zfg" "$work/"
for job in job.zfg gas-warning.zfg; do cp "$work/demo.zfg" "$work/$job"; done
printf ':04E000000102030412\r\n:02E80000AA5517\r\n:00000001FF\r\n' >"$work/controller.hex"
# Audio sources for prepare: a WAV, and an MP3 made from it where lame is installed.
cp "$work/fire-alarm.wav" "$work/in.wav"
if command -v lame >/dev/null; then
    lame --quiet "$work/in.wav" "$work/warning.mp3"
else
    cp "$work/in.wav" "$work/warning.mp3"
fi

# Commands, one a line: fenced blocks and inline code of the README, .EX blocks of the
# manual pages, <code> of the help page; continuation lines joined.
is_command='^([A-Z_]+=[^ ]+ )*zorvek-cli( |$)'
{
    awk '/^```/ { block = !block; next } block' "$source_dir/README.md" | sed -e ':a' -e '/\\$/N; s/\\\n *//; ta'
    grep -o '`[^`]*zorvek-cli[^`]*`' "$source_dir/README.md" | tr -d '`'
    for page in "$source_dir"/packaging/man/*.1; do
        awk '/^\.EX/ { block = 1; next } /^\.EE/ { block = 0 } block' "$page" |
            sed -e 's/\\-/-/g; s/\\e/\\/g' | sed -e ':a' -e '/\\$/N; s/\\\n *//; ta'
    done
    grep -o '<code>[^<]*zorvek-cli[^<]*</code>' "$source_dir/help/ZorvekHelp/helphtml.htm" |
        sed -e 's/<[^>]*>//g; s/&amp;/\&/g; s/&lt;/</g; s/&gt;/>/g'
} | sed -e 's/^ *//; s/ *$//' | grep -E "$is_command" >"$work/commands"

# Names that stand for a file or a value in the documents.
placeholders() {
    sed -E -e 's/\bJOB\.zfg\b/job.zfg/g; s/\bIMAGE\.bin\b/image.bin/g; s/\bOUT\.zmg\b/out.zmg/g' \
        -e 's/\bIN\.zmg\b/copy.zmg/g; s/\bFILE\.hex\b/controller.hex/g; s/\bBACKUP\.zmg\b/backup.zmg/g' \
        -e 's/\bOUT\.wav\b/out.wav/g; s/\bFILE\b/copy.zmg/g; s/\bSERIAL\b/SIM0001/g; s/ N\b/ 1/g' \
        -e 's/ IN / in.wav /; s/ \[[^]]*\]//g' \
        -e "s|\\b(COPY\|RECOVERY)\\b|$work/recovery.bin|g" \
        -e 's/^zorvek-cli --device A1B2C3/ZORVEK_SIMULATOR_COUNT=2 zorvek-cli --device SIM0002/'
}

export PATH="$work/bin:$PATH" HOME="$work/home" ZORVEK_ADAPTER=simulator ZORVEK_SIMULATOR_FILE="$work/siren.bin"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME ZORVEK_SIMULATOR_SIZE ZORVEK_SIMULATOR_COUNT ZORVEK_SIMULATOR_FAULTS
cd "$work" || exit 1

# What --restore-from names: the copy an update interrupted on this siren left.
interrupted_update() {
    [[ -e $work/recovery.bin ]] && return
    cp siren.bin probe.bin
    local calls
    calls=$(zorvek-cli --simulator-file probe.bin --stats firmware --yes controller.hex 2>&1 |
        sed -n 's/^Adapter calls: //p')
    ZORVEK_SIMULATOR_FAULTS=unplug-after=$((calls - 40)) zorvek-cli -q firmware --yes controller.hex >/dev/null 2>&1
    cp "$(ls -t "$HOME"/.local/share/Zorvek/firmware-recovery-*.bin | head -1)" "$work/recovery.bin"
}

failures=0
count=0
while IFS= read -r shown; do
    case $shown in
        # Names of commands in running text, not commands to run.
        "zorvek-cli" | "zorvek-cli info" | "zorvek-cli extract" | "zorvek-cli firmware") continue ;;
    esac
    command=$(placeholders <<<"$shown")
    expected=0
    run=(bash -c "$command")
    : >"$work/answer"
    [[ $command == *--restore-from* ]] && interrupted_update
    if [[ $command == *--repeat* ]]; then
        # Production runs go on until Ctrl-C, which ends them with a summary; the
        # status is then the worst result (checked below).
        expected=production
        run=(timeout --preserve-status -s INT 4 bash -c "$command")
    elif [[ $command == *" firmware "* && $command != *--yes* ]]; then
        # It asks on the terminal: give it one, answering No to "Abort?".
        run=(script -qec "$command" /dev/null)
        printf 'n\n' >"$work/answer"
    fi
    count=$((count + 1))
    "${run[@]}" <"$work/answer" >"$work/out" 2>&1
    status=$?
    if [[ $expected == production ]]; then
        expected=none
        grep -q '^Total: .* 0 failed' "$work/out" && expected=0
        grep -q '^Total: .* [1-9][0-9]* failed' "$work/out" && expected=4
    fi
    if [[ $status == "$expected" ]]; then
        echo "ok   $shown"
    else
        echo "FAIL $shown"
        echo "     ran: $command (exit $status, expected $expected)"
        sed 's/^/     | /' "$work/out" | tail -15
        failures=$((failures + 1))
    fi
done <"$work/commands"

[[ $count -ge 10 ]] || { echo "FAIL only $count commands found in the documents"; failures=$((failures + 1)); }
echo "$count commands, $failures failed"
[[ $failures -eq 0 ]]
