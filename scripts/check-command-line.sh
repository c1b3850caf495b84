#!/usr/bin/env bash
# Checks what a program says before any window: -h/--help and --version on standard output
# with status 0, an unknown or misused option (single dash too) 2, no desktop 1, and a display
# that cannot be reached 1 with a line naming it; and the demo's settings options, which need
# no display. Usage: scripts/check-command-line.sh <program>...
set -uo pipefail
shopt -s extglob

fail() {
    echo "check-command-line: $*" >&2
    exit 1
}

# Runs the program without a desktop unless told otherwise; prints "<status>|<output>".
run() {
    local output status=0
    output=$(timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>&1 </dev/null) ||
        status=$?
    echo "$status|$output"
}

for program in "$@"; do
    name=$(basename "$program")
    for help in -h --help; do
        result=$(run "$program" "$help")
        [[ $result == "0|Usage: $name "* ]] || fail "$name $help: $result"
    done
    result=$(run "$program" --version)
    [[ $result == "0|$name "* ]] || fail "$name --version: $result"
    for wrong in -x --frobnicate "-platform offscreen -x"; do
        # shellcheck disable=SC2086 # the options are words
        result=$(run "$program" $wrong)
        [[ $result == "2|$name: unknown option "* ]] || fail "$name $wrong: $result"
    done
    # The first word not understood ends the run with 2, whatever follows it.
    for wrong in "foo" "--show extra" "--bogus --version" "-platform offscreen foo"; do
        # shellcheck disable=SC2086 # the options are words
        result=$(run "$program" $wrong)
        [[ $result == "2|$name: "@(unknown option|unexpected argument)" "* ]] ||
            fail "$name $wrong: $result"
    done
    for wrong in "--show --save" --json "--load a.json --json" "--flash a.cuf" "--flash" \
        "--restore" "--flash a.cuf --no-restore --restore" "--show --no-restore"; do
        # shellcheck disable=SC2086 # the options are words
        result=$(run "$program" $wrong)
        [[ $result == "2|$name: option --"* ]] || fail "$name $wrong: $result"
    done
    # The settings options need no display: the demo's simulated ESC answers them.
    if [ "$name" = corvane_demo ]; then
        result=$(run "$program" --show)
        [[ $result == 0\|* && $result == *"Drag Brake "* ]] || fail "$name --show: $result"
        # Refusals name the cause and the path as given, and a save that fails keeps the old
        # file byte for byte: past the kernel's file-size limit (1 KiB), onto a FIFO.
        tmp=$(mktemp -d)
        result=$(run "$program" --load "$tmp/none.json")
        [ "$result" = "1|$name: No such file: $tmp/none.json" ] || fail "$name --load: $result"
        result=$(run "$program" --save "$tmp/nodir/x.json")
        [ "$result" = "1|$name: The settings could not be saved to $tmp/nodir/x.json: No such \
file or directory" ] || fail "$name --save into no folder: $result"
        echo "the old settings" >"$tmp/old.json"
        # shellcheck disable=SC2016 # expanded by the inner shell
        result=$(run bash -c 'ulimit -f 1 && exec "$0" --save "$1"' "$program" "$tmp/old.json")
        [ "$result" = "1|$name: The settings could not be saved to $tmp/old.json: File too large" ] ||
            fail "$name --save past the file-size limit: $result"
        [ "$(cat "$tmp/old.json")" = "the old settings" ] || fail "$name --save: the old file changed"
        mkfifo "$tmp/fifo"
        result=$(run "$program" --save "$tmp/fifo")
        [[ $result == "1|$name: "*"Not a regular file (a FIFO)" && -p "$tmp/fifo" ]] ||
            fail "$name --save onto a FIFO: $result"
        [ "$(ls -A "$tmp" | tr '\n' ' ')" = "fifo old.json " ] || fail "left behind: $(ls -A "$tmp")"
        rm -rf "$tmp"
    fi
    result=$(run "$program")
    [[ $result == 1\|*xvfb-run* ]] || fail "$name without a desktop: $result"
    result=$(run DISPLAY=:99 "$program")
    [ "$result" = "1|$name: no display could be opened (DISPLAY=:99)" ] ||
        fail "$name with an unreachable display: $result"
done
echo "check-command-line: ${#@} programs checked"
