#!/usr/bin/env bash
# Installs what is needed, builds Vantreo (release build) and converts the
# movies given, or a small sample movie it makes with ffmpeg when none is
# given. The MP4 files are written beside the movies.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

bash "$root/scripts/install-deps.sh"
build=${VANTREO_RELEASE_DIR:-$root/build-release}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREO_BUILD_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
cli="$build/bin/vantreo-cli"

if [ "$#" -eq 0 ]; then
    sample_dir="$root/sample"
    mkdir -p "$sample_dir"
    sample="$sample_dir/Sample Movie.mkv"
    echo "No movie given: making $sample with ffmpeg"
    ffmpeg -hide_banner -loglevel error -y \
        -f lavfi -i "testsrc2=size=1280x720:rate=25" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000" \
        -f lavfi -i "sine=frequency=660:sample_rate=48000" \
        -map 0 -map 1 -map 2 -t 10 \
        -c:v libx264 -preset veryfast -pix_fmt yuv420p \
        -c:a:0 ac3 -ac:a:0 6 -metadata:s:a:0 language=eng \
        -c:a:1 aac -metadata:s:a:1 language=ger \
        "$sample" </dev/null
    rm -f "$sample_dir/Sample Movie.mp4"
    set -- "$sample"
fi

"$cli" probe "$@"
"$cli" convert "$@"
