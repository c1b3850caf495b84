#!/usr/bin/env bash
# Fresh machine to green tests: installs the packages, builds, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SKIP_DEPS:-0}" != "1" ]; then scripts/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON
cmake --build build -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
