#!/usr/bin/env bash
# Converts a 3-second H.264 + AC-3 Matroska movie with vantreo-cli's
# compatible style and plays the result in Chromium (scripts/browser-check.sh):
# the browser must read its 3 seconds and its 160x120 picture.
#
#   scripts/browser-check-test.sh [BUILD_DIR]
#
# Exits 77 (skipped) where Chromium or ffmpeg is missing. Run by CTest as
# BrowserCheck.ConvertedMovieLoadsInChromium.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cli=$build/bin/vantreo-cli

for tool in /usr/bin/chromium ffmpeg; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
[ -x "$cli" ] || { echo "FAIL: $cli is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-browser-check-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/out"

ffmpeg -nostdin -hide_banner -loglevel error \
    -f lavfi -i testsrc2=size=160x120:rate=25:duration=3 -f lavfi -i sine=duration=3 \
    -c:v libx264 -preset ultrafast -c:a ac3 "$work/Film.mkv"
# A home of its own, so the conversion uses its default settings.
if ! HOME=$work/home "$cli" convert --style compatible --dest "$work/out" "$work/Film.mkv"; then
    echo "FAIL: vantreo-cli could not convert the movie" >&2
    exit 1
fi
[ -f "$work/out/Film.mp4" ] || { echo "FAIL: no Film.mp4 in the destination" >&2; exit 1; }

line=$(bash "$root/scripts/browser-check.sh" "$work/out/Film.mp4" --expect-duration 3)
echo "$line"
case "$line" in
*" width=160 height=120") ;;
*) echo "FAIL: Chromium shows a picture other than 160x120" >&2; exit 1 ;;
esac
