#!/usr/bin/env bash
# Takes the screenshots of the desktop application for the documentation:
# builds `vantreo-screenshots` (the desktop program set up for one scene) if
# needed, starts a virtual X server, makes two movies with ffmpeg and runs the
# program once per scene with a throw-away home and settings file. The
# pictures land in docs/screenshots/.
#
#   tools/screenshots.sh [SCENE...]   (default: every scene)
#   BUILD_DIR=/path/to/build tools/screenshots.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/docs/screenshots
scenes=("$@")
if [ "${#scenes[@]}" -eq 0 ]; then
    scenes=(empty addpanel queue failed contextmenu prefs0 prefs1 prefs2 prefsgeneral)
fi

# An existing build folder keeps its build type; only the program is added.
if [ ! -x "$build/bin/vantreo-screenshots" ]; then
    build_type=()
    [ -f "$build/CMakeCache.txt" ] || build_type=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    cmake -S "$root" -B "$build" "${build_type[@]}" -DVANTREO_SCREENSHOTS=ON
    cmake --build "$build" -j2 --target vantreo-screenshots
fi

if ! command -v Xvfb >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q </dev/null
    $sudo apt-get install -y -q --no-install-recommends xvfb </dev/null
fi

real_ffmpeg=$(command -v ffmpeg)
work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-screenshots.XXXXXX")
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A virtual screen of its own.
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY=$display
export QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS QT_STYLE_OVERRIDE

# The movies: a 5.1 AC3 feature and a stereo AAC one with two languages.
movies=$work/movies
mkdir -p "$movies"
"$real_ffmpeg" -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=1280x720:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -filter_complex "[1:a]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0[a]" \
    -map 0:v -map "[a]" -t 60 -c:v libx264 -preset ultrafast -c:a ac3 \
    -metadata:s:a:0 language=eng -metadata:s:a:0 title="Director's mix" \
    "$movies/Big Buck Rabbit.mkv"
# Subtitle files beside it, as a media server's library has them.
for name in en de.forced fr.sdh; do
    printf '1\n00:00:01,000 --> 00:00:03,000\nHello\n\n' >"$movies/Big Buck Rabbit.$name.srt"
done
"$real_ffmpeg" -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc=size=854x480:rate=25" \
    -f lavfi -i "sine=frequency=330" -f lavfi -i "sine=frequency=550" \
    -map 0:v -map 1:a -map 2:a -t 45 -c:v libx264 -preset ultrafast -c:a aac \
    -metadata:s:a:0 language=ger -metadata:s:a:1 language=eng "$movies/Holiday 2024.mkv"

# ffmpeg stand-ins: one that converts at the movie's own pace (so the queue
# scene shows a running job), one whose conversions fail.
mkdir -p "$work/slow" "$work/failing"
cat >"$work/slow/ffmpeg" <<SCRIPT
#!/usr/bin/env bash
args=()
paced=0
for a in "\$@"; do
    if [ "\$a" = "-i" ] && [ \$paced -eq 0 ] && [[ " \$* " == *" -progress "* ]]; then
        args+=(-readrate 1)
        paced=1
    fi
    args+=("\$a")
done
exec "$real_ffmpeg" "\${args[@]}"
SCRIPT
cat >"$work/failing/ffmpeg" <<SCRIPT
#!/usr/bin/env bash
if [[ " \$* " == *" -progress "* ]]; then
    echo "Error while opening encoder for output stream #0:1" >&2
    exit 1
fi
exec "$real_ffmpeg" "\$@"
SCRIPT
chmod +x "$work/slow/ffmpeg" "$work/failing/ffmpeg"

mkdir -p "$out"
for scene in "${scenes[@]}"; do
    home=$work/home-$scene
    mkdir -p "$home/Documents" "$home/.config"
    files=()
    tools=""
    delay=1500
    case "$scene" in
    addpanel) files=("$movies/Big Buck Rabbit.mkv") ;;
    queue)
        files=("$movies/Big Buck Rabbit.mkv" "$movies/Holiday 2024.mkv")
        tools=$work/slow
        delay=7000
        ;;
    failed)
        files=("$movies/Holiday 2024.mkv")
        tools=$work/failing
        ;;
    contextmenu)
        files=("$movies/Holiday 2024.mkv" "$movies/Big Buck Rabbit.mkv")
        tools=$work/failing
        ;;
    esac
    echo "Scene $scene"
    env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        XDG_CACHE_HOME="$home/.cache" VANTREO_SETTINGS_FILE="$home/.config/Vantreo/Vantreo.ini" \
        ${tools:+VANTREO_TOOLS_DIR="$tools"} \
        VANTREO_SCREENSHOT_SCENE="$scene" VANTREO_SCREENSHOT_FILE="$out/$scene.png" \
        VANTREO_SCREENSHOT_DELAY="$delay" \
        timeout 180 "$build/bin/vantreo-screenshots" "${files[@]}"
done
echo "Screenshots in $out"
