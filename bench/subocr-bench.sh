#!/usr/bin/env bash
# subocr's figures: the wall time (goal under 60 s on two cores) and peak
# resident memory of reading a 1,000-event PGS track at 1080p, and the
# character error rate over fonts (sans and serif), weights and video sizes
# (1080p and 576p). It prints figures; it is no test.
#
#   bench/subocr-bench.sh [BUILD_DIR] [EVENTS]
#
# BUILD_DIR build folder (default build); subocr and the bench program are
#           built there first
# EVENTS    the long track's events (default 1000)
set -euo pipefail

build_dir=${1:-build}
events=${2:-1000}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build_dir in
/*) ;;
*) build_dir=$here/$build_dir ;;
esac
[[ -f $build_dir/CMakeCache.txt ]] || { echo "no configured build in $build_dir" >&2; exit 2; }
cmake --build "$build_dir" --target subocr vantreo-subocr-bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/subocr-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "subocr on $(nproc) cores ($(uname -m)):"
QT_QPA_PLATFORM=offscreen "$build_dir/bin/vantreo-subocr-bench" \
    "$build_dir/resources/subocr" "$work" "$events"
