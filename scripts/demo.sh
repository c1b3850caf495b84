#!/usr/bin/env bash
# Fresh machine to running demo: installs the packages, builds, starts the demo with the
# simulated dongle and ESC.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SKIP_DEPS:-0}" != "1" ]; then scripts/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target corvane_demo
cd build && exec ./corvane_demo "$@"
