#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: fuzzers skipped"
    exit 0
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_FUZZ=ON -DCORVANE_GUI=OFF -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)"
for fuzzer in build-fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="tests/fuzz/corpus/$name"
    work=$(mktemp -d)
    seeds=()
    [ -d "$corpus" ] && seeds=("$corpus")
    echo "-- $name for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$work" "${seeds[@]}" 2>&1 | tail -n 12
    rm -rf "$work"
done
