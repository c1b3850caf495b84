#!/usr/bin/env bash
# Builds the Debian package: the two programs, then cpack. The .deb lands in the build
# directory (BUILD_DIR, default build); JOBS sets the build's parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SKIP_DEPS:-0}" != "1" ]; then scripts/install-deps.sh; fi
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target corvane_progpanel corvane_demo
rm -f "$build"/corvane-progpanel_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/corvane-progpanel_*.deb
