#!/usr/bin/env bash
# Checks the Debian package as a user would meet it (as root, on Debian 12): installs it,
# starts the INSTALLED demo under Xvfb from an empty directory, opens the Brakes page and
# checks from a screenshot that its value display shows text (so the font was found where
# the package put it), closes the demo, then purges the package and checks that none of its
# files are left. Usage: scripts/check-package.sh <package.deb> [screenshot.png]
set -euo pipefail
deb=$(realpath "$1")
shot=$(realpath -m "${2:-corvane-package-demo.png}")
package=corvane-progpanel

fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Pixels of a rectangle (w h x y) of the screenshot that match an ImageMagick fx test.
count() {
    convert "$shot" -crop "$1x$2+$3+$4" +repage -fx "$5" -format "%[fx:round(mean*w*h)]" info:
}

export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$deb"
mapfile -t files < <(dpkg -L "$package" | while read -r f; do [ -d "$f" ] || echo "$f"; done)
echo "installed ${#files[@]} files"
for needed in /usr/bin/corvane_progpanel /usr/bin/corvane_demo \
    /usr/share/corvane-progpanel/FRAMDCN.TTF /usr/lib/udev/rules.d/70-corvane-dongle.rules \
    /usr/share/icons/hicolor/128x128/apps/corvane-progpanel.png; do
    [ -f "$needed" ] || fail "$needed is missing"
done
desktop-file-validate /usr/share/applications/corvane-progpanel*.desktop
[ "$(readlink -f /usr/share/corvane-progpanel/FRAMDCN.TTF)" = \
    /usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Medium.ttf ] ||
    fail "the font is not Debian's Roboto Condensed Medium"
contents=$(dpkg -c "$deb")
for page in corvane_progpanel corvane_demo; do
    grep -q "/usr/share/man/man1/$page.1.gz$" <<<"$contents" || fail "no manual page $page"
    # A minimal image may keep dpkg from unpacking manual pages at all (path-exclude).
    if [ -e "/usr/share/man/man1/$page.1.gz" ]; then
        man -w "$page" >/dev/null || fail "man $page finds nothing"
    fi
done
appstreamcli validate --no-net /usr/share/metainfo/org.corvane.progpanel.metainfo.xml

# The command line, as the installed programs answer it; --version names the package's.
"$(dirname "$0")/check-command-line.sh" /usr/bin/corvane_progpanel /usr/bin/corvane_demo
for program in corvane_progpanel corvane_demo; do
    version=$(env -u DISPLAY "$program" --version) || fail "$program --version failed"
    [ "$version" = "$program $(dpkg-query -W -f '${Version}' "$package")" ] ||
        fail "$program --version says '$version'"
done

xvfb_pid="" demo_pid=""
display_file=$(mktemp) run_dir=$(mktemp -d)
cleanup() {
    [ -z "$demo_pid" ] || kill "$demo_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$display_file" "$run_dir"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 640x600x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || fail "Xvfb did not start"
DISPLAY=":$(cat "$display_file")"
export DISPLAY

# From a directory without the font, as a start from the desktop menu would be.
(cd "$run_dir" && exec /usr/bin/corvane_demo) &
demo_pid=$!

# The window sits at 0,0. The demo plugs its simulated dongle in after 1.5 s and then reads
# the ESC; until then the Brakes tile is dead, so keep clicking it, moving onto it each time
# (a tile lights up, and so takes the click, on a mouse move). Brake strength shows
# "50%" in dark figures on the amber display at 283,351 (36 x 12).
shown=0
for _ in $(seq 30); do
    sleep 1
    kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended by itself"
    xdotool mousemove 290 318 sleep 0.1 mousemove 298 325 sleep 0.2 click 1 sleep 0.5
    import -window root "$shot"
    amber=$(count 36 12 283 351 "r>0.8&&g>0.55&&b<0.35")
    ink=$(count 36 12 283 351 "r<0.3&&g<0.3&&b<0.3")
    if [ "$amber" -ge 150 ] && [ "$ink" -ge 20 ]; then
        shown=1
        break
    fi
done
echo "screenshot: $shot (display: $amber amber, $ink text pixels)"
[ "$shown" = 1 ] || fail "the Brakes page's value display shows no text"
lit=$(count 196 64 54 442 "r>0.6&&g>0.6&&b>0.6")
[ "$lit" -ge 300 ] || fail "the status list shows no text ($lit light pixels)"

# The close area ends the program; it must not hang on the way out.
xdotool mousemove 417 31 sleep 0.2 click 1
for _ in $(seq 100); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$demo_pid" 2>/dev/null && fail "the demo did not end after its close area was clicked"
wait "$demo_pid" || fail "the demo ended with status $?"
demo_pid=""

apt-get remove -y --purge "$package"
if dpkg -s "$package" >/dev/null 2>&1; then
    fail "$package is still known to dpkg"
fi
for f in "${files[@]}"; do
    [ ! -e "$f" ] || fail "$f was left behind"
done
echo "check-package: installed, ran, removed cleanly"
