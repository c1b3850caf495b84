#!/usr/bin/env bash
# Checks what a program says before any window: -h/--help and --version on standard output
# with status 0, an unknown or misused option (single dash too) 2, no desktop 1, and a display
# that cannot be reached 1 with a line naming it; and the demo's settings options, which need
# no display. Usage: scripts/check-command-line.sh <program>...
set -uo pipefail

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
    for wrong in "--show --save" --json "--load a.json --json"; do
        # shellcheck disable=SC2086 # the options are words
        result=$(run "$program" $wrong)
        [[ $result == "2|$name: option --"* ]] || fail "$name $wrong: $result"
    done
    # The settings options need no display: the demo's simulated ESC answers them.
    if [ "$name" = corvane_demo ]; then
        result=$(run "$program" --show)
        [[ $result == 0\|* && $result == *"Drag Brake "* ]] || fail "$name --show: $result"
        result=$(run "$program" --load /dev/null)
        [ "$result" = "1|$name: Not a settings file this program can read." ] ||
            fail "$name --load /dev/null: $result"
    fi
    result=$(run "$program")
    [[ $result == 1\|*xvfb-run* ]] || fail "$name without a desktop: $result"
    result=$(run DISPLAY=:99 "$program")
    [ "$result" = "1|$name: no display could be opened (DISPLAY=:99)" ] ||
        fail "$name with an unreachable display: $result"
done
echo "check-command-line: ${#@} programs checked"
