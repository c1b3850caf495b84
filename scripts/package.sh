#!/usr/bin/env bash
# Builds the Debian package with debhelper (dpkg-buildpackage), the binary package and the
# source package, and moves them into the build directory (BUILD_DIR, default build).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SKIP_DEPS:-0}" != "1" ]; then scripts/install-deps.sh; fi
build="${BUILD_DIR:-build}"
mkdir -p "$build"
rm -f "$build"/corvane-progpanel_* ../corvane-progpanel_*
DEB_BUILD_OPTIONS="parallel=${JOBS:-$(nproc)} ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc -b
dpkg-buildpackage -us -uc -S
debian/rules clean >/dev/null
mv ../corvane-progpanel_* "$build"/
ls "$build"/corvane-progpanel_*.deb "$build"/corvane-progpanel_*.dsc
