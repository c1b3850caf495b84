#!/usr/bin/env bash
# Runs every benchmark and checks that each ends well and prints its figures: a benchmark that
# prints nothing has rotted. --short runs each in a short form (a smaller firmware file, fewer
# writes, a shorter idle spell), as CI does; without it, the long form the README's table
# quotes. BUILD_DIR names the build directory (default build).
# Usage: scripts/bench.sh [--short]
set -uo pipefail
cd "$(dirname "$0")/.."
bench="${BUILD_DIR:-build}/bench"
short=0
[ "${1:-}" = --short ] && short=1
failed=0

# run <what a figure line holds> <benchmark> [long arguments] [short arguments]
run() {
    local figure=$1 name=$2 long=$3 short_args=$4 args output status=0
    args=$long
    [ "$short" = 1 ] && args=$short_args
    echo "-- $name $args"
    # shellcheck disable=SC2086 # the arguments are words
    output=$(QT_QPA_PLATFORM=offscreen "$bench/$name" $args 2>&1) || status=$?
    echo "$output"
    if [ "$status" -ne 0 ] || ! grep -q "$figure" <<<"$output"; then
        echo "bench: $name printed no figure (status $status)" >&2
        failed=1
    fi
}

run "of one core" bench_link_idle_cpu 5 1
run "ratio" bench_firmware_transfer 2 "2 4"
run "ratio" bench_param_write 10 2
run "beyond it" bench_window_startup "" ""
run "peak resident memory" bench_session_memory "" ""
exit "$failed"
