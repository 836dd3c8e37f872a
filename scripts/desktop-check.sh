#!/usr/bin/env bash
# Drives the desktop application under a real X server (Xvfb with the
# openbox window manager) from the keyboard alone, as a new user would:
#
#   1. `vantreo Film.mkv` on a first start: Enter answers the welcome, Enter
#      in the add panel, Enter in the save dialog; the MP4 appears beside the
#      movie and holds the movie's video and audio.
#   2. The window is resized and the application quit with Ctrl+Q; started
#      again, the window comes back at that size.
#   3. A launch from a second login session (another XDG_RUNTIME_DIR) opens a
#      window of its own; a launch from the same session hands over and ends.
#   4. SIGTERM ends the program at once whatever is open: the first-run
#      welcome, the save dialog, an alert over a running conversion (no tool
#      and no unfinished file is left, and the next start has the job back,
#      paused).
#   5. The X server dies under a converting window: the program exits with a
#      non-zero status and no crash, and leaves no tool and no unfinished
#      file behind.
#
# Every wait is for a condition, with a generous limit (the check also runs
# under the sanitizers on a busy machine); quitting on a signal must take
# less than QUIT_LIMIT seconds (1, or 10 under the sanitizers).
#
#   scripts/desktop-check.sh [BUILD_DIR]
#
# Needs xvfb-run, openbox and xdotool (scripts/install-deps.sh installs
# them); exits 77 (skipped) when one is missing. Run by CTest as
# DesktopUnderX.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
vantreo=$build/bin/vantreo

for tool in xvfb-run Xvfb openbox xdotool ffmpeg ffprobe; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
[ -x "$vantreo" ] || { echo "FAIL: $vantreo is missing"; exit 1; }

# Run everything below on a display of its own.
if [ -z "${VANTREO_DESKTOP_CHECK_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        env VANTREO_DESKTOP_CHECK_DISPLAY=1 bash "$0" "$build"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-desktop-check.XXXXXX")
CHECK_NAME="desktop check"
. "$root/scripts/check-kit.sh"

openbox >/dev/null 2>&1 &
pids+=($!)
# Whether a window manager manages the screen (openbox sets the root's
# current desktop once it does); windows mapped before may stay unmapped.
window_manager_up() { xdotool get_desktop >/dev/null 2>&1; }
wait_for 30 window_manager_up || true

# A new user: own home, settings, documents; no session bus.
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export VANTREO_SETTINGS_FILE=$XDG_CONFIG_HOME/Vantreo/Vantreo.ini
export QT_QPA_PLATFORM=xcb
# Under the sanitizers: the X platform plugin's keymap reading
# (libxkbcommon-x11) hands strndup a buffer shorter than the length it names,
# which strict_string_checks reports before the window opens. It is the
# system library's, not ours; the other checks stay on.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
quit_limit=1
[ -n "${ASAN_OPTIONS:-}" ] && quit_limit=10
unset DBUS_SESSION_BUS_ADDRESS QT_STYLE_OVERRIDE VANTREO_TOOLS_DIR
mkdir -p "$HOME/Documents" "$work/run1" "$work/run2" "$work/movies"
chmod 700 "$work/run1" "$work/run2"

# Waits up to $1 seconds for `xdotool search ARGS` to find a visible window;
# prints the last one found.
wait_window() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds)) found
    while [ $SECONDS -lt $deadline ]; do
        found=$(xdotool search --all --onlyvisible "$@" 2>/dev/null | tail -n 1 || true)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
# Presses keys in a window after making it the active one (a window that
# was just mapped may need a moment before the window manager lets it be).
press() {
    local window=$1
    shift
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        xdotool windowactivate "$window" >/dev/null 2>&1 || true
        sleep 0.2
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
    done
    [ -n "${VANTREO_DESKTOP_CHECK_DEBUG:-}" ] && echo "press $* in $window, active $(xdotool getactivewindow)" >&2
    xdotool key --clearmodifiers "$@"
}
movie=$work/movies/Film.mkv
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "testsrc2=size=320x240:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000" -t 3 \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac "$movie" </dev/null

# VANTREO_DESKTOP_CHECK_ONLY=endings runs the scenes of desktop-check-endings.sh alone.
if [ "${VANTREO_DESKTOP_CHECK_ONLY:-}" = endings ]; then
    . "$root/scripts/desktop-check-endings.sh"
    finish
fi

# 1. Converting from the keyboard.
XDG_RUNTIME_DIR=$work/run1 "$vantreo" "$movie" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
# The centre of a window: "X Y".
centre_of() {
    xdotool getwindowgeometry "$1" | awk '
        /Position:/ { split($2, p, ","); x = p[1]; y = p[2] }
        /Geometry:/ { split($2, g, "x"); print int(x + g[1] / 2), int(y + g[2] / 2) }'
}
if welcome=$(wait_window 60 --pid "$first" --name '^Vantreo$'); then
    main=$(wait_window 30 --pid "$first" --name '^Vantreo ') || true
    if [ -n "$main" ] && read -r wx wy < <(centre_of "$welcome") &&
        read -r mx my < <(centre_of "$main") &&
        [ $(((wx - mx) * (wx - mx) + (wy - my) * (wy - my))) -lt 2500 ]; then
        ok "the first start shows the welcome over the window, centred on it"
    else
        not_ok "the welcome is not centred on the main window"
    fi
    press "$welcome" Return
else
    not_ok "no welcome on the first start"
fi
main=$(wait_window 60 --pid "$first" --name '^Vantreo ') || { not_ok "no main window"; finish; }
# Enter in the add panel, as soon as the movie is shown there.
dialog=""
deadline=$((SECONDS + 120))
while [ $SECONDS -lt $deadline ]; do
    dialog=$(xdotool search --onlyvisible --name '^Save Converted Movie' 2>/dev/null | tail -n 1 || true)
    [ -n "$dialog" ] && break
    press "$main" Return
    sleep 0.5
done
if [ -n "$dialog" ]; then
    ok "Enter in the add panel asks where to save"
    # Enter until the dialog has taken it (it may need a moment to be ready).
    deadline=$((SECONDS + 60))
    while [ $SECONDS -lt $deadline ] && xdotool search --onlyvisible --name '^Save Converted Movie' >/dev/null 2>&1; do
        press "$dialog" Return
        sleep 0.5
    done
else
    not_ok "Enter in the add panel opened no save dialog"
fi
output=$work/movies/Film.mp4
deadline=$((SECONDS + 180))
while [ $SECONDS -lt $deadline ]; do
    title=$(xdotool getwindowname "$main" 2>/dev/null || true)
    # The title shows a percentage while the movie converts.
    if [ -s "$output" ] && [[ "$title" != *%* ]] && [[ "$title" == *"1 Job(s)"* ]]; then
        break
    fi
    sleep 0.3
done
streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$output" 2>/dev/null |
    sort | tr '\n' ' ' || true)
duration=$(seconds_of "$output")
if [ "$streams" = "audio video " ] && awk -v d="$duration" 'BEGIN { exit !(d > 2.5 && d < 3.5) }'; then
    ok "Enter in the save dialog converts into $(basename "$output") beside the movie ($streams, ${duration}s)"
else
    not_ok "no complete MP4 beside the movie (streams: '$streams', duration: '$duration')"
fi

# 2. The window's size comes back.
xdotool windowsize --sync "$main" 900 620 2>/dev/null || xdotool windowsize "$main" 900 620
size_is() { [ "$(xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: //p')" = "$2" ]; }
wait_for 30 size_is "$main" 900x620 || true
press "$main" ctrl+q
if wait_exit "$first" 60; then
    ok "Ctrl+Q quits"
else
    not_ok "Ctrl+Q did not quit"
    kill "$first" 2>/dev/null || true
fi
XDG_RUNTIME_DIR=$work/run1 "$vantreo" >"$work/second.log" 2>&1 &
again=$!
pids+=($again)
if main=$(wait_window 60 --pid "$again" --name '^Vantreo '); then
    wait_for 10 size_is "$main" 900x620 || true
    size=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
    if [ "$size" = "900x620" ]; then
        ok "restarted, the window has its size again ($size)"
    else
        not_ok "restarted, the window is $size instead of 900x620"
    fi
else
    not_ok "no window after the restart"
fi

# 3. Sessions: the same one hands over, another opens its own window.
XDG_RUNTIME_DIR=$work/run1 timeout 120 "$vantreo" >"$work/same.log" 2>&1 &
same=$!
if wait_exit "$same" 120 && wait "$same"; then
    ok "a launch in the same session hands over to the running window and ends"
else
    not_ok "a launch in the same session did not hand over"
fi
XDG_RUNTIME_DIR=$work/run2 "$vantreo" >"$work/other.log" 2>&1 &
other=$!
pids+=($other)
if other_window=$(wait_window 60 --pid "$other" --name '^Vantreo ') && kill -0 "$again"; then
    ok "a launch from another session opens its own window"
    press "$other_window" ctrl+q
    wait_exit "$other" 60 || not_ok "the second session's window did not quit"
else
    not_ok "a launch from another session opened no window of its own"
fi
[ -n "${main:-}" ] && press "$main" ctrl+q
wait_exit "$again" 60 || not_ok "the restarted window did not quit"

. "$root/scripts/desktop-check-endings.sh"
finish
