#!/usr/bin/env bash
# Runs the desktop application natively on Wayland, under a headless weston
# compositor, as on a GNOME or KDE Wayland session (no X server at all):
#
#   1. `vantreo Film.mkv` opens its window on the compositor (Qt picks its
#      Wayland platform itself) and converts the movie handed to it.
#   2. A second launch in the same session hands its movie to the running
#      window and ends; that movie converts too.
#   3. SIGTERM ends the program within QUIT_LIMIT seconds (1, or 10 under
#      the sanitizers), leaving no tool and no unfinished file behind.
#
# The movies go into a saved destination folder with AutoAdd on, since a
# headless compositor has no keyboard to press Enter with.
#
#   scripts/wayland-check.sh [BUILD_DIR]
#
# Needs weston and Qt's Wayland platform plugin (qt6-wayland); exits 77
# (skipped) when one is missing. Run by CTest as DesktopUnderWayland.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
vantreo=$build/bin/vantreo
cli=$build/bin/vantreo-cli

for tool in weston ffmpeg ffprobe; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
plugin=$(find /usr/lib/*/qt6/plugins/platforms /usr/lib/qt6/plugins/platforms \
    -name 'libqwayland-generic.so' 2>/dev/null | head -n 1 || true)
if [ -z "$plugin" ]; then
    echo "SKIP: Qt's Wayland platform plugin is not installed (qt6-wayland)"
    exit 77
fi
[ -x "$vantreo" ] || { echo "FAIL: $vantreo is missing"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-wayland-check.XXXXXX")
CHECK_NAME="wayland check"
. "$root/scripts/check-kit.sh"

complete_movie() {
    local d
    d=$(seconds_of "$1")
    [ -n "$d" ] && awk -v d="$d" 'BEGIN { exit !(d > 2.5 && d < 3.5) }'
}
# The children of a process, and theirs.
descendants() {
    local child
    for child in $(pgrep -P "$1" || true); do
        echo "$child"
        descendants "$child"
    done
}

# A session of its own: runtime folder, compositor, home; no X server, no
# session bus.
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS QT_STYLE_OVERRIDE VANTREO_TOOLS_DIR
export WAYLAND_DISPLAY=vantreo-check XDG_SESSION_TYPE=wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
if ! wait_for 30 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"; then
    echo "SKIP: weston's headless backend did not start"
    exit 77
fi

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export VANTREO_SETTINGS_FILE=$XDG_CONFIG_HOME/Vantreo/Vantreo.ini
mkdir -p "$HOME/Documents" "$work/movies" "$work/out" "$work/spare" "$(dirname "$VANTREO_SETTINGS_FILE")"
# Past the welcome, every movie queued at once into the first saved folder.
cat >"$VANTREO_SETTINGS_FILE" <<INI
[General]
WelcomeShown=1
AutoAdd=1
DefaultDestination=2
DestinationBookmarks=@ByteArray($work/out), @ByteArray($work/spare)
DestinationNames=out, spare
INI
quit_limit=1
[ -n "${ASAN_OPTIONS:-}" ] && quit_limit=10

for name in Film Second Long; do
    seconds=3
    [ "$name" = Long ] && seconds=120
    ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=320x240:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$seconds" \
        -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 "$work/movies/$name.mkv" </dev/null
done

# 1. The window on the compositor, converting the movie handed to it. The
# Wayland protocol log shows the window the program made.
WAYLAND_DEBUG=client "$vantreo" "$work/movies/Film.mkv" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
if wait_for 60 grep -q 'xdg_toplevel@[0-9]*\.set_title("Vantreo' "$work/first.log"; then
    ok "the window opens on the Wayland compositor"
else
    not_ok "no Wayland window (the log names no xdg_toplevel titled Vantreo)"
fi
if grep -q 'xcb\|could not connect to display' "$work/first.log"; then
    not_ok "the program tried X11"
fi
if wait_for 120 complete_movie "$work/out/Film.mp4"; then
    ok "the movie handed to it converts ($(seconds_of "$work/out/Film.mp4") s)"
else
    not_ok "no complete Film.mp4 in the saved folder"
fi

# 2. A second launch hands its movie over and ends.
timeout 60 "$vantreo" "$work/movies/Second.mkv" >"$work/second.log" 2>&1 &
second=$!
if wait_exit "$second" 60 && wait "$second" && kill -0 "$first" 2>/dev/null; then
    ok "a second launch hands its movie to the running window and ends"
else
    not_ok "a second launch did not hand over"
fi
if wait_for 120 complete_movie "$work/out/Second.mp4"; then
    ok "the handed-over movie converts in the running window"
else
    not_ok "no complete Second.mp4"
fi

# 3. SIGTERM while a conversion runs.
timeout 60 "$vantreo" "$work/movies/Long.mkv" >"$work/third.log" 2>&1 || true
# A tool of the window converts the long movie (its command line names the
# movie and the progress file; the probe's runs do not).
converting() {
    local pid
    for pid in $(descendants "$first"); do
        tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -q 'Long.mkv.*-progress' && return 0
    done
    return 1
}
if wait_for 60 converting; then
    tools=$(descendants "$first")
    start=$(date +%s.%N)
    kill -TERM "$first"
    if wait_exit "$first" 30; then
        took=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }')
        if awk -v t="$took" -v l="$quit_limit" 'BEGIN { exit !(t < l) }'; then
            ok "SIGTERM ends the program in $took s"
        else
            not_ok "SIGTERM took $took s"
        fi
    else
        not_ok "SIGTERM did not end the program"
    fi
    # A tool sent SIGKILL may take a moment to be gone.
    living_tools() {
        local pid out=""
        for pid in $tools; do kill -0 "$pid" 2>/dev/null && out="$out $pid"; done
        echo "$out"
    }
    wait_for 10 test -z "$(living_tools)" || true
    left=$(living_tools)
    if [ -z "$left" ] && [ "$(ls -A "$work/out" | tr '\n' ' ')" = "Film.mp4 Second.mp4 " ]; then
        ok "no tool and no unfinished file is left"
    else
        for pid in $left; do echo "left: $pid $(tr '\0' ' ' 2>/dev/null </proc/$pid/cmdline)"; done
        not_ok "left behind: tools [$left], files: $(ls -A "$work/out" | tr '\n' ' ')"
    fi
else
    not_ok "the third movie never started converting"
fi
finish
