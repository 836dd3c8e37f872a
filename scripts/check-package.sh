#!/usr/bin/env bash
# Checks the Debian package made by scripts/package.sh, then installs it with
# apt-get, runs the installed programs, removes the package again and checks
# that nothing of it is left in /usr. Needs root (or sudo) for apt-get.
#
#   bash scripts/check-package.sh [vantreo_VERSION_ARCH.deb]
#
# Checks: lintian (no error, no warning), appstreamcli validate --pedantic on
# the metainfo and on the package's files (offline: --no-net, the screenshot
# addresses are not fetched), desktop-file-validate, the installed programs
# (vantreo-cli tools finds all four tools, vantreo-cli convert converts a
# movie, vantreo starts offscreen and quits on SIGTERM), and the removal.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

deb=${1:-}
if [ -z "$deb" ]; then
    deb=$(find "$root" -maxdepth 1 -name 'vantreo_*.deb' -print -quit)
fi
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    echo "No package found: run scripts/package.sh first or name the .deb" >&2
    exit 2
fi
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
bash scripts/install-deps.sh --check-package

work=$(mktemp -d "${TMPDIR:-/tmp}/check-package-XXXXXX")
installed=0
cleanup() {
    if [ "$installed" -eq 1 ]; then
        $sudo apt-get remove -y -q vantreo </dev/null >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "PASS: $*"; }
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
section() { printf '\n=== %s\n' "$*"; }

app_id=org.vantreo.Vantreo

section "package $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Depends
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort

section "lintian"
if lintian --display-info --fail-on error,warning "$deb"; then
    pass "lintian: no error, no warning"
else
    fail "lintian reports errors or warnings"
fi

section "desktop-file-validate"
if desktop-file-validate "resources/$app_id.desktop" &&
    desktop-file-validate "resources/dolphin/$app_id.convert.desktop"; then
    pass "desktop-file-validate resources/$app_id.desktop resources/dolphin/$app_id.convert.desktop"
else
    fail "desktop-file-validate"
fi

section "appstreamcli validate --pedantic --no-net"
# Fails on errors and warnings; pedantic and informational notes are shown.
appstream_ok() {
    local out
    out=$("$@" 2>&1) || true
    echo "$out"
    ! grep -qE '^(E|W):' <<<"$out"
}
if appstream_ok appstreamcli validate --pedantic --no-net "resources/$app_id.metainfo.xml"; then
    pass "appstreamcli validate resources/$app_id.metainfo.xml"
else
    fail "appstreamcli validate"
fi
mkdir -p "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
# The whole installed tree: the metainfo together with its desktop entry.
if appstream_ok appstreamcli validate-tree --pedantic --no-net "$work/tree"; then
    pass "appstreamcli validate-tree on the package's files"
else
    fail "appstreamcli validate-tree"
fi

# Ids: desktop entry file name, metainfo id and launchable, program strings.
if grep -q "<id>$app_id</id>" "$work/tree/usr/share/metainfo/$app_id.metainfo.xml" &&
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
        "$work/tree/usr/share/metainfo/$app_id.metainfo.xml" &&
    [ -f "$work/tree/usr/share/applications/$app_id.desktop" ] &&
    grep -qa "$app_id" "$work/tree/usr/bin/vantreo"; then
    pass "application id $app_id in the desktop entry's name, the metainfo and the program"
else
    fail "application id differs between desktop entry, metainfo and program"
fi

section "install"
find /usr -xdev -print 2>/dev/null | sort >"$work/usr-before"
if $sudo apt-get install -y -q "$deb" </dev/null; then
    installed=1
    pass "apt-get install $(basename "$deb")"
else
    fail "apt-get install"
    exit 1
fi
for f in /usr/bin/vantreo /usr/bin/vantreo-cli /usr/lib/vantreo/MP4Box /usr/lib/vantreo/afconvert /usr/lib/vantreo/subocr \
    /usr/share/applications/$app_id.desktop /usr/share/metainfo/$app_id.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/vantreo.svg /usr/share/icons/hicolor/48x48/apps/vantreo.png \
    /usr/share/icons/hicolor/256x256/apps/vantreo.png "/usr/share/vantreo/docs/Read Me.md" \
    "/usr/lib/systemd/user/vantreo-watch@.service" \
    "/usr/share/kio/servicemenus/$app_id.convert.desktop" \
    /usr/share/vantreo/translations/vantreo_de.qm /usr/share/vantreo/translations/vantreo_fr.qm; do
    if [ -e "$f" ]; then pass "installed $f"; else fail "missing $f"; fi
done
for page in vantreo vantreo-cli; do
    if man -w "$page" >/dev/null 2>&1; then pass "man page $(man -w "$page")"; else fail "no man page $page"; fi
done
if grep -qs "$app_id.desktop" /usr/share/applications/mimeinfo.cache; then
    pass "desktop database refreshed by its trigger (mimeinfo.cache lists $app_id.desktop)"
else
    fail "mimeinfo.cache does not list $app_id.desktop"
fi

# The programs run with a home of their own, so no user's settings are used.
home="$work/home"
mkdir -p "$home/Documents" "$work/tmp"
run_env=(env -u VANTREO_TOOLS_DIR -u VANTREO_RESOURCES_DIR -u VANTREO_SETTINGS_FILE
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    XDG_CACHE_HOME="$home/.cache" TMPDIR="$work/tmp" PATH=/usr/bin:/bin)

section "vantreo-cli tools"
if tools=$("${run_env[@]}" vantreo-cli tools); then
    echo "$tools"
    if grep -q "^MP4Box  *$(printf %s /usr/lib/vantreo/MP4Box)" <<<"$tools" &&
        grep -q "^afconvert  */usr/lib/vantreo/afconvert" <<<"$tools" &&
        grep -q "^ffmpeg  */usr/bin/ffmpeg" <<<"$tools" &&
        grep -q "^mediainfo  */usr/bin/mediainfo" <<<"$tools"; then
        pass "vantreo-cli tools finds all four tools"
    else
        fail "vantreo-cli tools: a tool was found in the wrong place"
    fi
else
    echo "$tools"
    fail "vantreo-cli tools"
fi

section "vantreo-cli convert"
movie="$work/movies/Check Movie.mkv"
mkdir -p "$work/movies" "$work/out"
ffmpeg -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=320x240:rate=25" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -t 3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 -metadata:s:a:0 language=eng \
    "$movie" </dev/null
if "${run_env[@]}" vantreo-cli convert --dest "$work/out" "$movie" </dev/null; then
    out="$work/out/Check Movie.mp4"
    streams=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$out" | tr '\n' ' ')
    echo "ffprobe of the output: $streams"
    if [ "$streams" = "h264 aac " ]; then
        pass "vantreo-cli convert made an MP4 with the copied video and AAC audio"
    else
        fail "vantreo-cli convert: unexpected streams '$streams'"
    fi
else
    fail "vantreo-cli convert"
fi

section "systemd user unit"
if command -v systemd-analyze >/dev/null; then
    mkdir -p "$work/units"
    cp "/usr/lib/systemd/user/vantreo-watch@.service" "$work/units/vantreo-watch@srv-movies.service"
    if systemd-analyze verify "$work/units/vantreo-watch@srv-movies.service" >"$work/verify.log" 2>&1 &&
        ! grep -q . "$work/verify.log"; then
        pass "systemd-analyze verify vantreo-watch@.service"
    else
        fail "systemd-analyze verify vantreo-watch@.service"
    fi
else
    echo "systemd-analyze is missing: unit not verified"
fi

section "vantreo (offscreen)"
# Past the first-run welcome alert, so the window and its main loop are up.
"${run_env[@]}" vantreo-cli settings WelcomeShown 1 >/dev/null
QT_QPA_PLATFORM=offscreen "${run_env[@]}" vantreo >"$work/gui.log" 2>&1 &
gui=$!
sleep 3
if kill -0 "$gui" 2>/dev/null; then
    kill -TERM "$gui"
    for _ in $(seq 50); do
        kill -0 "$gui" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$gui" 2>/dev/null; then
        kill -KILL "$gui"
        wait "$gui" || true
        cat "$work/gui.log"
        fail "vantreo did not quit within 10 s of SIGTERM"
    else
        status=0
        wait "$gui" || status=$?
        if [ "$status" -eq 0 ]; then
            pass "vantreo started offscreen, ran and quit on SIGTERM"
        else
            cat "$work/gui.log"
            fail "vantreo ended with status $status after SIGTERM"
        fi
    fi
else
    status=0
    wait "$gui" || status=$?
    cat "$work/gui.log"
    fail "vantreo did not keep running (status $status)"
fi

section "remove"
if $sudo apt-get remove -y -q vantreo </dev/null; then
    installed=0
    pass "apt-get remove vantreo"
else
    fail "apt-get remove"
fi
find /usr -xdev -print 2>/dev/null | sort >"$work/usr-after"
left=$(comm -13 "$work/usr-before" "$work/usr-after")
ours=$(find /usr -xdev \( -iname '*vantreo*' -o -path /usr/lib/vantreo \) -print 2>/dev/null || true)
if [ -z "$left" ] && [ -z "$ours" ] && ! grep -qs "$app_id" /usr/share/applications/mimeinfo.cache; then
    pass "nothing of the package is left in /usr"
else
    [ -n "$left" ] && echo "New since the install: $left"
    [ -n "$ours" ] && echo "Left: $ours"
    fail "files left in /usr after the removal"
fi

section "summary"
if [ "$failures" -eq 0 ]; then
    echo "All package checks passed."
else
    echo "$failures check(s) failed."
    exit 1
fi
