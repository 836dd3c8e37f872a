#!/usr/bin/env bash
# Library runs at scale: how long a second `convert --recursive` over a tree
# of 200 converted movies takes (every movie passed over, no ffmpeg run; goal
# under 2 s), and the peak resident memory of `watch` over a tree of 1,000
# movies while it looks at them all and converts the new ones that arrive
# (goal under 60 MB).
#
#   bench/library-bench.sh [BUILD_DIR]
#
# BENCH_RUNS (default 5) second runs are timed; the median is reported.
set -euo pipefail

build_dir=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build_dir in
/*) ;;
*) build_dir=$here/$build_dir ;;
esac
cli=$build_dir/bin/vantreo-cli
runs=${BENCH_RUNS:-5}
[[ -x $cli ]] || { echo "no vantreo-cli in $build_dir/bin: build it first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/library-bench.XXXXXX")
watcher=
cleanup() {
    [[ -n $watcher ]] && kill -TERM "$watcher" 2>/dev/null && wait "$watcher" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/Documents"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache
export VANTREO_SETTINGS_FILE=$work/settings.ini
unset DBUS_SESSION_BUS_ADDRESS

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); if (NR % 2) print v[m]; else printf "%.3f\n", (v[m] + v[m + 1]) / 2 }'; }

# One small movie, copied under 200 names in 20 folders, converted once.
ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=2" \
    -c:v libx264 -preset ultrafast -c:a ac3 "$work/one.mkv"
for f in $(seq -w 1 20); do
    mkdir -p "$work/lib/set1/Folder $f"
    for m in $(seq -w 1 10); do cp "$work/one.mkv" "$work/lib/set1/Folder $f/Movie $m.mkv"; done
done
echo "converting 200 movies once (fast style, two at a time)..."
"$cli" convert --recursive --style fast --jobs 2 "$work/lib/set1" | tail -1

times=()
for ((i = 0; i < runs; i++)); do
    sync
    start=$(now)
    summary=$("$cli" convert --recursive "$work/lib/set1" 2>&1 | tail -1)
    times+=("$(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f", e - s }')")
done
[[ $summary == "0 converted, 0 failed, 200 skipped" ]] || { echo "unexpected: $summary" >&2; exit 1; }
echo "second run over 200 converted movies: median $(median "${times[@]}") s of $runs runs ($summary; goal < 2 s)"

# 1,000 movies: the converted tree four times more (copies keep their names,
# sizes and times, so their MP4s still name them), and the watch over it.
for s in 2 3 4 5; do cp -a "$work/lib/set1" "$work/lib/set$s"; done
log=$work/watch.log
start=$(now)
"$cli" watch --settle 2 --style fast "$work/lib" >"$log" 2>&1 &
watcher=$!
until (($(grep -c '^Skipped: ' "$log" || true) >= 1000)); do
    kill -0 "$watcher" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.2
done
initial=$(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.2f", e - s }')
# Twenty new movies arrive while it watches.
mkdir -p "$work/lib/new"
for m in $(seq -w 1 20); do cp "$work/one.mkv" "$work/lib/new/Arrived $m.mkv"; done
until (($(grep -c '^Converted: ' "$log" || true) >= 20)); do
    kill -0 "$watcher" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.5
done
peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$watcher/status")
folders=$(grep -m1 '^Watching ' "$log")
kill -TERM "$watcher"
wait "$watcher" || true
watcher=
echo "watch over 1,000 movies ($folders): all looked at in $initial s, 20 arrivals converted; peak resident memory $peak MB (goal < 60 MB)"
