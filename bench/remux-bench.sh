#!/usr/bin/env bash
# Compares the wall time of vantreo-cli against plain ffmpeg runs doing the
# same work, on a large generated movie (h264 + ac3).
#
#   bench/remux-bench.sh [SIZE_MB] [BUILD_DIR]
#
# SIZE_MB   approximate size of the test movie (default 1000)
# BUILD_DIR build folder holding bin/vantreo-cli (default build)
set -euo pipefail

size_mb=${1:-1000}
build_dir=${2:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build_dir in
/*) ;;
*) build_dir=$here/$build_dir ;;
esac
cli=$build_dir/bin/vantreo-cli

if ! [[ $size_mb =~ ^[0-9]+$ ]] || ((size_mb < 1)); then
    echo "usage: $0 [SIZE_MB] [BUILD_DIR]" >&2
    exit 2
fi
[[ -x $cli ]] || { echo "no vantreo-cli in $build_dir/bin: build it first" >&2; exit 2; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (apt-get install ffmpeg)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/remux-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/Documents" "$work/out"

# The CLI runs with its own home and settings, so the user's stay untouched.
run_cli() {
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
        "$cli" --settings "$work/settings.ini" "$@" >/dev/null
}

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# Seconds (with fractions) a command takes.
wall() {
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

echo "Making a 10-second 1280x720 clip (h264 + ac3 5.1)..." >&2
# Temporal noise keeps the video bit rate high, as in a real film rip.
ff -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=10,noise=alls=40:allf=t" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=10" \
    -c:v libx264 -preset ultrafast -crf 16 -pix_fmt yuv420p \
    -c:a ac3 -ac 6 -b:a 448k "$work/clip.mkv"

clip_bytes=$(stat -c %s "$work/clip.mkv")
target_bytes=$((size_mb * 1000 * 1000))
loops=$(((target_bytes + clip_bytes - 1) / clip_bytes - 1))
((loops < 0)) && loops=0
echo "Looping it $((loops + 1)) times by stream copy..." >&2
# -fs stops the copy at the wanted size when the clip alone is bigger.
ff -stream_loop "$loops" -i "$work/clip.mkv" -c copy -fs "$target_bytes" "$work/big.mkv"
movie_mb=$(awk -v b="$(stat -c %s "$work/big.mkv")" 'BEGIN { printf "%.0f", b / 1e6 }')

echo "Timing (movie of ${movie_mb} MB)..." >&2
# Warm the page cache so the first timed run is not the only one reading the disk.
cat "$work/big.mkv" >/dev/null

t_fast=$(wall run_cli convert --style fast --dest "$work/out" "$work/big.mkv")
rm -f "$work"/out/*
t_ff_copy=$(wall ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c copy "$work/out/copy.mp4")
rm -f "$work"/out/*
t_compat=$(wall run_cli convert --style compatible --dest "$work/out" "$work/big.mkv")
rm -f "$work"/out/*
t_ff_aac=$(wall ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c:v copy -c:a aac "$work/out/aac.mp4")
rm -f "$work"/out/*

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "n/a" }'; }

printf '\n%-34s %10s %10s %8s\n' "movie: ${movie_mb} MB" "vantreo" "ffmpeg" "ratio"
printf '%-34s %9ss %9ss %8s\n' "fast (copy) vs -c copy" "$t_fast" "$t_ff_copy" \
    "$(ratio "$t_fast" "$t_ff_copy")"
printf '%-34s %9ss %9ss %8s\n' "compatible vs -c:v copy -c:a aac" "$t_compat" "$t_ff_aac" \
    "$(ratio "$t_compat" "$t_ff_aac")"
