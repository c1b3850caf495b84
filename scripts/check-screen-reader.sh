#!/usr/bin/env bash
# Checks what a screen reader and a keyboard-only user meet in the demo, through the real
# clients: the AT-SPI bus and its registry read by pyatspi (what Orca reads), and key presses
# from xdotool, under Xvfb and openbox. Starts everything it needs itself.
# Usage: scripts/check-screen-reader.sh <corvane_demo> [sample.cuf]
set -euo pipefail
demo=$(realpath "$1")
sample=$(realpath "${2:-$(dirname "$demo")/samples/demo_vrx_q8_A1.3.cuf}")
here=$(cd "$(dirname "$0")" && pwd)
display=:$((90 + RANDOM % 100))
work=$(mktemp -d)
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# The session bus, the accessibility bus and the window manager live as long as the check.
timeout 150 dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    openbox >/dev/null 2>&1 &
    sleep 1
    cd "$3" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" >demo.log 2>&1 &
    demo=$!
    status=0
    /usr/bin/python3 "$2" "$4" || status=$?
    kill $demo 2>/dev/null
    exit $status
' bash "$demo" "$here/check-screen-reader.py" "$work" "$sample"
