#!/usr/bin/env bash
# Checks the demo on real desktops: natively on Wayland (weston, headless, pixman renderer)
# and on X11 under a window manager (Xvfb and openbox), at scales 1 and 1.5 by default. From
# each screenshot: every pixel outside the outline is the desktop's background, and the face
# inside it is the artwork. Under openbox, Alt+F4 during a firmware update asks first.
# Usage: scripts/check-desktops.sh <corvane_demo> [screenshot folder] [scale...]
set -euo pipefail
demo=$(realpath "$1")
sample="$(dirname "$demo")/samples/demo_vrx_q8_A1.3.cuf"
shots=$(realpath -m "${2:-desktop-shots}")
shift $(($# < 2 ? $# : 2))
scales=("${@:-1 1.5}")
read -r -a scales <<<"${scales[*]}"
here=$(cd "$(dirname "$0")/.." && pwd)
# Weston's background; Xvfb's root stays black whatever xsetroot says.
background="#204060"
mkdir -p "$shots"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "check-desktops: $*" >&2
    exit 1
}

# Checks a screenshot of the face at a scale; what: where it was taken.
check_face() {
    local shot=$1 scale=$2 what=$3 w h art box stray mean
    w=$(awk "BEGIN { print int(437 * $scale + 0.5) }")
    h=$(awk "BEGIN { print int(527 * $scale + 0.5) }")
    art="$here/res/png/131.png"
    awk "BEGIN { exit !($scale > 1) }" && art="$here/res/png/131@2x.png"
    # The window is what is not background; it starts at the artwork's top-left corner.
    box=$(convert "$shot" -bordercolor "$background" -border 1 -fuzz 2% -trim \
        -format "%X%Y" info:)
    read -r x y <<<"$(tr '+' ' ' <<<"$box")"
    convert "$shot" -crop "${w}x${h}+$((x - 1))+$((y - 1))" +repage "$work/face.png"
    convert "$art" -resize "${w}x${h}!" "$work/art.png"
    # Outside: where the artwork is transparent, nothing but background.
    convert "$work/art.png" -alpha extract -threshold 2% -negate "$work/outside.png"
    stray=$(convert "$work/face.png" \( -size "${w}x${h}" "xc:$background" \) \
        -compose difference -composite -colorspace gray -threshold 6% \
        "$work/outside.png" -compose multiply -composite \
        -format "%[fx:round(mean * w * h)]" info:)
    # Inside: where it is opaque, the artwork, but for the status list and the progress bar.
    convert "$work/art.png" -alpha extract -threshold 98% -fill black -draw \
        "rectangle $(awk "BEGIN { s = $scale; printf \"%d,%d %d,%d\", 50*s, 405*s, 400*s, 512*s }")" \
        "$work/inside.png"
    convert "$work/art.png" -background "$background" -flatten "$work/flat.png"
    mean=$(convert "$work/face.png" "$work/flat.png" -compose difference -composite \
        -colorspace gray "$work/inside.png" -compose multiply -composite \
        -format "%[fx:mean]" info:)
    local covered
    covered=$(convert "$work/inside.png" -format "%[fx:mean]" info:)
    mean=$(awk "BEGIN { print $mean / $covered }")
    echo "$what at $scale: window at $x,$y; $stray stray pixels outside; inside differs by $mean"
    [ "$stray" -le 40 ] || fail "$what at $scale: $stray pixels outside the outline are not background"
    awk "BEGIN { exit !($mean < 0.04) }" || fail "$what at $scale: the face differs from the artwork"
}

# ---- Wayland -------------------------------------------------------------------------------
runtime="$work/runtime"
mkdir -m 700 "$runtime"
cat >"$work/weston.ini" <<INI
[core]
idle-time=0
[shell]
background-color=0xff${background#\#}
panel-position=none
INI
XDG_RUNTIME_DIR="$runtime" weston --config="$work/weston.ini" --backend=headless-backend.so \
    --use-pixman --debug --socket=corvane-check --width=1200 --height=1200 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$runtime/corvane-check" ] && break; sleep 0.1; done
[ -S "$runtime/corvane-check" ] || { cat "$work/weston.log"; fail "weston did not start"; }
for scale in "${scales[@]}"; do
    XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=corvane-check QT_QPA_PLATFORM=wayland \
        QT_SCALE_FACTOR="$scale" "$demo" >"$work/demo.log" 2>&1 &
    pid=$!
    sleep 4 # the dongle plugs in at 1.5 s; the read is done well before 4
    (cd "$work" && XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=corvane-check weston-screenshooter)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    if grep -q "qt.qpa.plugin" "$work/demo.log"; then fail "no Wayland platform plugin"; fi
    mv "$work"/wayland-screenshot-*.png "$shots/wayland-$scale.png"
    check_face "$shots/wayland-$scale.png" "$scale" wayland
done

# ---- X11 under openbox ---------------------------------------------------------------------
Xvfb -displayfd 3 -screen 0 1200x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
background="#000000"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
for scale in "${scales[@]}"; do
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$demo" >/dev/null 2>&1 &
    pid=$!
    sleep 4
    import -window root "$shots/x11-$scale.png"
    check_face "$shots/x11-$scale.png" "$scale" x11
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done

# Alt+F4 while the firmware goes out: the close question, and the window stays. xdotool's
# searches die on windows that vanish under them (BadWindow): each is tried again.
find_window() { # <name pattern> [seconds]
    local id="" tries=$((${2:-10} * 10))
    for _ in $(seq "$tries"); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}
QT_QPA_PLATFORM=xcb "$demo" >/dev/null 2>&1 &
pid=$!
window=$(find_window "^Corvane ESC Programmer$")
[ -n "$window" ] || fail "the demo's window did not show"
sleep 3
# openbox does not say which desktop the window is on: xdotool complains, and activates it.
xdotool windowactivate --sync "$window" 2>/dev/null || true
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 218)) $((Y + 416)) click 1
dialog=$(find_window "^Open$")
[ -n "$dialog" ] || fail "FIRMWARE UPDATE opened no file dialog"
sleep 1
# Sent to the dialogs themselves (xdotool reports a harmless BadWindow for Qt's frames).
xdotool type --window "$dialog" "$sample" 2>/dev/null || true
xdotool key --window "$dialog" Return 2>/dev/null || true
confirm=$(find_window "^FIRMWARE UPDATE$")
[ -n "$confirm" ] || fail "no confirmation box after the upgrade file was chosen"
# OK until the box has gone (a box not yet ready for keys misses the first).
for _ in $(seq 10); do
    sleep 0.5
    xdotool key --window "$confirm" Return 2>/dev/null || true
    sleep 0.5
    [ -z "$(find_window "^FIRMWARE UPDATE$" 1)" ] && break
done
sleep 1
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key alt+F4
question=$(find_window "^FIRMWARE UPDATE$" 3)
import -window root "$shots/x11-close-question.png"
[ -n "$question" ] || fail "Alt+F4 during the update closed without asking"
xdotool key --window "$question" Escape 2>/dev/null || true
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the window closed although the question was answered No"
kill "$pid"
echo "check-desktops: Wayland and X11 checked at ${scales[*]}; screenshots in $shots"
