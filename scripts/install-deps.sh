#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libxkbcommon-dev \
    libudev-dev \
    clang clang-format libclang-rt-14-dev \
    xvfb xauth imagemagick fonts-dejavu-core \
    dpkg-dev file desktop-file-utils xdotool \
    debhelper lintian appstream fonts-roboto-unhinted man-db \
    weston qt6-wayland openbox \
    dbus at-spi2-core python3-pyatspi
