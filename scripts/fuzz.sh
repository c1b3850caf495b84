#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, default 60).
# CORVANE_FUZZ_BUILD names the build directory (default build-fuzz), CORVANE_FUZZ_JOBS the
# number of build jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${CORVANE_FUZZ_BUILD:-build-fuzz}"
jobs="${CORVANE_FUZZ_JOBS:-$(nproc)}"
if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: fuzzers skipped"
    exit 0
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_FUZZ=ON -DCORVANE_GUI=OFF -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF
cmake --build "$build" -j"$jobs"
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="tests/fuzz/corpus/$name"
    work=$(mktemp -d)
    seeds=()
    [ -d "$corpus" ] && seeds=("$corpus")
    echo "-- $name for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$work" "${seeds[@]}" 2>&1 | tail -n 12
    rm -rf "$work"
done
