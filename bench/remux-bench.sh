#!/usr/bin/env bash
# Compares Vantreo with plain ffmpeg doing the same work, side by side on one
# machine: each row runs the two sides alternately, every run starts by
# deleting both sides' outputs (overwriting a large file is slower than a
# fresh write), and the row reports both medians and the median of the
# pairwise ratios. Then the largest temporary file of a compatible-style
# run, the command line's peak resident memory for a batch and for a
# 200-movie queue, and the worst stall of the desktop's main thread while a
# job converts and another movie is probed, and while 300 dropped movies are
# probed and queued.
#
#   bench/remux-bench.sh [SIZE_MB] [BUILD_DIR]
#
# SIZE_MB   approximate size of the large test movie (default 1000)
# BUILD_DIR build folder holding bin/vantreo-cli (default build)
#
# BENCH_ONLY=streamable runs only the rows of streamable output (the index
# before the media, the default) against the plain file and against
# ffmpeg's +faststart rewrite. BENCH_ONLY=durable runs only the flush of the
# finished movie (needs strace). BENCH_ONLY=floor runs only the fast style
# against a probe-then-copy ffmpeg and the compatible style against one
# ffmpeg pass. BENCH_ONLY=aac runs only the rows of the AAC encoder: the
# compatible style against one ffmpeg pass with the encoder on every core and
# with one worker, its quality figures against a single run, its peak memory,
# and the times the measured rates give for 8 and 16 cores.
set -euo pipefail

size_mb=${1:-1000}
build_dir=${2:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build_dir in
/*) ;;
*) build_dir=$here/$build_dir ;;
esac
cli=$build_dir/bin/vantreo-cli
pairs=${BENCH_PAIRS:-5}
batch_pairs=${BENCH_BATCH_PAIRS:-3}
queue_size=${BENCH_QUEUE:-200}
only=${BENCH_ONLY:-}

if ! [[ $size_mb =~ ^[0-9]+$ ]] || ((size_mb < 1)); then
    echo "usage: $0 [SIZE_MB] [BUILD_DIR]" >&2
    exit 2
fi
[[ -x $cli ]] || { echo "no vantreo-cli in $build_dir/bin: build it first" >&2; exit 2; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (apt-get install ffmpeg)" >&2; exit 2; }
# The streamable and durable figures need the command line only.
[[ $only == streamable || $only == durable || $only == floor || $only == aac ]] ||
    cmake --build "$build_dir" --target vantreo-latency-bench vantreo-verify-bench >/dev/null
[[ $only == streamable || $only == durable ]] ||
    cmake --build "$build_dir" --target afconvert-quality >/dev/null
latency_bench=$build_dir/bin/vantreo-latency-bench
afconvert=$build_dir/resources/afconvert
quality=$build_dir/bin/afconvert-quality
verify_bench=$build_dir/bin/vantreo-verify-bench

work=$(mktemp -d "${TMPDIR:-/tmp}/remux-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/Documents" "$work/out" "$work/base" "$work/batch" "$work/queue"

# The programs run with their own home and settings, so the user's stay
# untouched.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache
export VANTREO_SETTINGS_FILE=$work/settings.ini
unset DBUS_SESSION_BUS_ADDRESS

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

now() { date +%s.%N; }
# Seconds (with fractions) the command takes; its output is dropped.
wall() {
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f", e - s }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); if (NR % 2) print v[m]; else printf "%.3f\n", (v[m] + v[m + 1]) / 2 }'; }

# Both sides start alike: no output of theirs, and nothing of an earlier
# run still being written back to the disk.
clear_outputs() { rm -rf "$work"/out/* "$work"/base/*; sync; }

# One row: NAME, then the Vantreo command and the baseline command as two
# bash functions run alternately (the first side alternates too).
rows=()
row() {
    local name=$1 ours=$2 theirs=$3 n=$4 i a b
    local -a as=() bs=() rs=()
    for ((i = 0; i < n; i++)); do
        if ((i % 2 == 0)); then
            clear_outputs; a=$(wall "$ours")
            clear_outputs; b=$(wall "$theirs")
        else
            clear_outputs; b=$(wall "$theirs")
            clear_outputs; a=$(wall "$ours")
        fi
        as+=("$a"); bs+=("$b")
        echo "    pair $((i + 1)): vantreo $a s, baseline $b s" >&2
        rs+=("$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')")
    done
    clear_outputs
    ours_median=$(median "${as[@]}")
    theirs_median=$(median "${bs[@]}")
    rows+=("$(printf '%-58s %8.2f s %8.2f s %7.2f' "$name" "$(median "${as[@]}")" \
        "$(median "${bs[@]}")" "$(median "${rs[@]}")")")
    echo "  ${rows[-1]}" >&2
}

echo "Making a one-minute 1280x720 clip (h264 at 3.5 Mbit/s + ac3 5.1)..." >&2
# A film rip's bit rate, so that 1 GB lasts about half an hour as a real
# movie of that size does; temporal noise keeps the encoder at its rate.
ff -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=60,noise=alls=20:allf=t" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=60" \
    -c:v libx264 -preset ultrafast -b:v 3500k -maxrate 4000k -bufsize 8000k -pix_fmt yuv420p \
    -c:a ac3 -ac 6 -b:a 448k "$work/clip.mkv"
clip_bytes=$(stat -c %s "$work/clip.mkv")
target_bytes=$((size_mb * 1000 * 1000))
loops=$(((target_bytes + clip_bytes - 1) / clip_bytes - 1))
((loops < 0)) && loops=0
echo "Looping it $((loops + 1)) times by stream copy..." >&2
ff -stream_loop "$loops" -i "$work/clip.mkv" -c copy -fs "$target_bytes" "$work/big.mkv"
movie_mb=$(awk -v b="$(stat -c %s "$work/big.mkv")" 'BEGIN { printf "%.0f", b / 1e6 }')
movie_min=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/big.mkv" |
    awk '{ printf "%.0f", $1 / 60 }')

# Streamable output: the fast style writes the index first in room it
# reserves (one pass); against the same run with StreamableOutput 0 (its own
# settings file, output in the baseline's folder) and against ffmpeg moving
# the index forward by rewriting the file (+faststart).
plain_settings=$work/plain.ini
"$cli" --settings "$plain_settings" settings StreamableOutput 0 >/dev/null
ours_streamable() { "$cli" convert --style fast --dest "$work/out" "$work/big.mkv"; }
ours_plain() {
    "$cli" --settings "$plain_settings" convert --style fast --dest "$work/base" "$work/big.mkv"
}
theirs_faststart() {
    ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c copy -movflags +faststart "$work/base/big.mp4"
}
streamable_rows() {
    row "fast style, ${movie_mb} MB MKV: streamable vs StreamableOutput 0" ours_streamable \
        ours_plain "$pairs"
    streamable_ratio=${rows[-1]##* }
    row "fast style, ${movie_mb} MB MKV: streamable vs ffmpeg +faststart" ours_streamable \
        theirs_faststart "$pairs"
}
# The flush that makes a finished movie durable: the fsync of the file
# before its rename and of its folder after it, timed inside a real
# fast-style run by strace (only fsync stops the traced program), as a share
# of that run. Alternated with the same flush after a bare ffmpeg copy, where
# nothing was written to the disk before the end: what the flush costs when
# the movie is not pushed to the disk while it is written. Prints the two
# median times and the median share of the run.
flush_ms() { # the summed fsync times (ms) of the output folder's items in an strace log
    # A call another thread interrupts ends on a "resumed" line of its own.
    awk -v dir="$work/out" '
        function took() { t = $NF; gsub(/[<>]/, "", t); sum += t }
        index($0, "fsync(") && index($0, "<" dir) {
            if (index($0, "<unfinished")) pending[$1] = 1; else took()
        }
        index($0, "<... fsync resumed>") && pending[$1] { took(); delete pending[$1] }
        END { printf "%.1f", sum * 1000 }' "$1"
}
flush_figure() {
    local i run start traced bare ms
    local -a shares=() flushes=() bares=()
    if ! command -v strace >/dev/null || ! strace -f -o /dev/null true 2>/dev/null; then
        flush_line="not measured (strace is missing or cannot trace here)"
        return
    fi
    ours_traced() {
        strace -f -y -T --seccomp-bpf -e trace=fsync -o "$work/flush.log" \
            "$cli" convert --style fast --dest "$work/out" "$work/big.mkv"
    }
    bare_flush() {
        ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c copy "$work/out/big.mp4" &&
            wall sync "$work/out/big.mp4" "$work/out"
    }
    for ((i = 0; i < pairs; i++)); do
        if ((i % 2 == 0)); then
            clear_outputs; run=$(wall ours_traced)
            clear_outputs; bare=$(bare_flush)
        else
            clear_outputs; bare=$(bare_flush)
            clear_outputs; run=$(wall ours_traced)
        fi
        ms=$(flush_ms "$work/flush.log")
        echo "    pair $((i + 1)): flush $ms ms of a $run s run; after a bare copy $bare s" >&2
        flushes+=("$ms"); bares+=("$bare")
        shares+=("$(awk -v f="$ms" -v r="$run" 'BEGIN { printf "%.2f", f / 10 / r }')")
    done
    clear_outputs
    flush_line=$(printf '%s ms, %s %% of the run (goal: under 2 %%); after a bare ffmpeg copy %s ms' \
        "$(median "${flushes[@]}")" "$(median "${shares[@]}")" \
        "$(awk -v b="$(median "${bares[@]}")" 'BEGIN { printf "%.1f", b * 1000 }')")
}
if [[ $only == durable ]]; then
    cat "$work/big.mkv" >/dev/null
    echo "Flush of the finished movie ($pairs pairs; movie of ${movie_mb} MB)..." >&2
    flush_figure
    printf 'Flush of the finished fast-style movie (fsync of file and folder): %s\n' "$flush_line"
    exit 0
fi
if [[ $only == streamable ]]; then
    cat "$work/big.mkv" >/dev/null
    echo "Timing ($pairs pairs a row; movie of ${movie_mb} MB, ${movie_min} min)..." >&2
    streamable_rows
    printf '\n%-58s %10s %10s %7s\n' "work (median of runs)" "vantreo" "baseline" "ratio"
    printf '%s\n' "${rows[@]}"
    printf '\nStreamable against plain output: %s (goal: at most 1.05)\n' "$streamable_ratio"
    exit 0
fi

# Ten 10-second 720p movies (h264 + ac3 stereo, copied by the fast style).
batch=()
for i in $(seq 1 10); do
    ff -i "$work/clip.mkv" -t 10 -map 0:v -map 0:a -c:v copy -c:a ac3 -ac 2 "$work/batch/Movie $i.mkv"
    batch+=("$work/batch/Movie $i.mkv")
done
# The queue for the memory figures: tiny movies.
ff -f lavfi -i "testsrc=size=64x48:rate=5:duration=1" -f lavfi -i "sine=duration=1" \
    -c:v libx264 -preset ultrafast -c:a ac3 -ac 2 "$work/tiny.mkv"
queue=()
for i in $(seq 1 "$queue_size"); do
    cp "$work/tiny.mkv" "$work/queue/Tiny $i.mkv"
    queue+=("$work/queue/Tiny $i.mkv")
done

# Warm the page cache so the first timed run is not the only one reading.
cat "$work/big.mkv" "${batch[@]}" >/dev/null

ours_fast() { "$cli" convert --style fast --dest "$work/out" "$work/big.mkv"; }
theirs_fast() { ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c copy "$work/base/big.mp4"; }
# What any front end must do: read the movie once (ffmpeg -i), then copy.
theirs_probe_copy() {
    ffmpeg -nostdin -hide_banner -i "$work/big.mkv" >/dev/null 2>&1 || true
    theirs_fast
}
ours_batch() { "$cli" convert --style fast --dest "$work/out" "${batch[@]}"; }
theirs_batch() {
    local m
    for m in "${batch[@]}"; do
        ff -i "$m" -map 0:0 -map 0:1 -c copy "$work/base/$(basename "$m" .mkv).mp4"
    done
}
ours_probe() { "$cli" probe --json "$work/big.mkv"; }
theirs_probe() { ffmpeg -nostdin -hide_banner -i "$work/big.mkv" || true; }
ours_compatible() { "$cli" convert --style compatible --dest "$work/out" "$work/big.mkv"; }
theirs_compatible() {
    ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c:v copy -c:a aac -ac 2 -b:a 128k \
        "$work/base/big.mp4"
}
# The largest temporary file (in the cache and the documents folder) while
# a compatible-style run goes, sampled every 20 ms; in MB.
largest_temporary() {
    local pid max=0 v
    clear_outputs
    "$cli" convert --style compatible --dest "$work/out" "$work/big.mkv" >/dev/null 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        v=$(find "$work/home/.cache" "$work/home/Documents" -type f -printf '%s\n' 2>/dev/null |
            sort -n | tail -1)
        [[ -n $v ]] && ((v > max)) && max=$v
        sleep 0.02
    done
    wait "$pid" || true
    clear_outputs
    awk -v b="$max" 'BEGIN { printf "%.2f MB", b / 1e6 }'
}
# The same two sides writing into a RAM folder (tmpfs), where the flush of
# the finished movie costs nothing: what Vantreo adds apart from the disk's
# own time to take the movie, which the baseline never waits for.
ram=
ours_fast_ram() { "$cli" convert --style fast --dest "$ram/out" "$work/big.mkv"; }
theirs_probe_copy_ram() {
    ffmpeg -nostdin -hide_banner -i "$work/big.mkv" >/dev/null 2>&1 || true
    ff -i "$work/big.mkv" -map 0:0 -map 0:1 -c copy "$ram/base/big.mp4"
}
ram_row() {
    local shm=/dev/shm need
    need=$((2 * $(stat -c %s "$work/big.mkv") / 1024 + 65536))
    if [[ ! -d $shm ]] || (($(df -Pk "$shm" | awk 'NR == 2 { print $4 }') < need)); then
        ram_ratio="not measured (no room in $shm)"
        return
    fi
    ram=$(mktemp -d "$shm/remux-bench.XXXXXX")
    mkdir -p "$ram/out" "$ram/base"
    clear_ram() { rm -rf "$ram"/out/* "$ram"/base/*; }
    local i a b
    local -a rs=() as=() bs=()
    for ((i = 0; i < pairs; i++)); do
        if ((i % 2 == 0)); then
            clear_ram; a=$(wall ours_fast_ram); clear_ram; b=$(wall theirs_probe_copy_ram)
        else
            clear_ram; b=$(wall theirs_probe_copy_ram); clear_ram; a=$(wall ours_fast_ram)
        fi
        echo "    pair $((i + 1)): vantreo $a s, baseline $b s" >&2
        as+=("$a"); bs+=("$b")
        rs+=("$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", a / b }')")
    done
    rm -rf "$ram"
    rows+=("$(printf '%-58s %8.2f s %8.2f s %7.2f' "same, both writing into RAM (tmpfs)" \
        "$(median "${as[@]}")" "$(median "${bs[@]}")" "$(median "${rs[@]}")")")
    echo "  ${rows[-1]}" >&2
    ram_ratio=${rows[-1]##* }
}
floor_rows() {
    row "convert --style fast, ${movie_mb} MB MKV vs ffmpeg -i, then -c copy" ours_fast \
        theirs_probe_copy "$pairs"
    floor_ratio=${rows[-1]##* }
    ram_row
    aac_rows
    echo "Largest temporary file of a compatible run..." >&2
    largest_tmp=$(largest_temporary)
}
# The AAC encoder. The compatible style with one worker is the single ffmpeg
# run of the encoder (what it was before it encoded in pieces).
ours_compatible_one() { VANTREO_AAC_WORKERS=1 ours_compatible; }
# Peak resident memory (VmHWM) of the afconvert a compatible-style run
# starts, read every 20 ms until the run ends; in kB.
encoder_peak_kb() {
    local pid hwm=0 v child
    clear_outputs
    "$cli" convert --style compatible --dest "$work/out" "$work/big.mkv" >/dev/null 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        for child in $(pgrep -P "$pid" 2>/dev/null || true); do
            [[ $(cat "/proc/$child/comm" 2>/dev/null) == afconvert ]] || continue
            v=$(awk '/^VmHWM/ { print $2 }' "/proc/$child/status" 2>/dev/null || true)
            [[ -n $v ]] && ((v > hwm)) && hwm=$v
        done
        sleep 0.02
    done
    wait "$pid" || true
    clear_outputs
    echo "$hwm"
}
# Quality on a changing sound, two minutes of a slow sweep under tones
# switched on and off: signal-to-noise ratio against the source and the
# loudest 10 ms of the error over its 99th percentile, for the single run
# (-w 1), for the pieces a conversion makes on 2 workers (the length known,
# -e), and for two single runs whose rate control starts elsewhere (ffmpeg's
# initial lambda 100 and 140 instead of 120): the encoder's own spread.
quality_figures() {
    local d=120 sweep expr f
    sweep="0.4*sin(2*PI*50*$d/log(160)*(pow(160\,t/$d)-1))"
    expr="$sweep+0.3*sin(2*PI*1000*t)*lt(mod(t\,1.3)\,0.6)|$sweep+0.3*sin(2*PI*1500*t)*lt(mod(t+0.4\,1.7)\,0.8)"
    ff -f lavfi -i "aevalsrc=$expr:s=48000:d=$d" -c:a pcm_f32le "$work/changing.wav"
    ff -i "$work/changing.wav" -f f32le "$work/changing.f32"
    "$afconvert" "$work/changing.wav" -o "$work/q-single.aac" -f adts -b 128000 -w 1
    "$afconvert" "$work/changing.wav" -o "$work/q-pieces.aac" -f adts -b 128000 -w 2 -e "$d"
    for f in 100 140; do
        ff -i "$work/changing.wav" -c:a aac -b:a 128000 -global_quality "$f" -f adts \
            "$work/q-lambda$f.aac"
    done
    for f in single pieces lambda100 lambda140; do
        ff -i "$work/q-$f.aac" -f f32le "$work/q-$f.f32"
        quality_of[$f]=$("$quality" "$work/changing.f32" "$work/q-$f.f32" 2 48000 1024)
    done
    rm -f "$work"/q-* "$work"/changing.*
    # The encoder's own rates on one and on two workers, on the movie's
    # sound as the extraction makes it (its decoding not timed).
    ff -i "$work/big.mkv" -map 0:1 -acodec pcm_f32le -ac 2 "$work/movie.wav"
    encoder_one=$(wall "$afconvert" "$work/movie.wav" -o "$work/movie.aac" -f adts -b 128000 -w 1)
    encoder_two=$(wall "$afconvert" "$work/movie.wav" -o "$work/movie.aac" -f adts -b 128000 -w 2 \
        -e "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/movie.wav")")
    rm -f "$work/movie.wav" "$work/movie.aac"
}
declare -A quality_of=()
figure() { # the value of NAME in afconvert-quality's line
    local kv
    for kv in $2; do
        if [[ ${kv%%=*} == "$1" ]]; then echo "${kv#*=}"; fi
    done
}
aac_rows() {
    row "compatible style, ${movie_mb} MB MKV vs one pass -c:a aac -b:a 128k" ours_compatible \
        theirs_compatible "$pairs"
    compatible_ratio=${rows[-1]##* }
    compatible_median=$ours_median
    row "same, the encoder on one worker (VANTREO_AAC_WORKERS=1)" ours_compatible_one \
        theirs_compatible "$pairs"
    compatible_one_ratio=${rows[-1]##* }
    compatible_one_median=$ours_median
    echo "Quality of the encoder in pieces..." >&2
    quality_figures
    echo "Peak memory of the encoder..." >&2
    encoder_kb=$(encoder_peak_kb)
}
aac_report() {
    local s1 s2 l1 l2 pieces
    s1=$(figure snr_db "${quality_of[single]}")
    s2=$(figure snr_db "${quality_of[pieces]}")
    l1=$(figure loudest_error_db "${quality_of[single]}")
    l2=$(figure loudest_error_db "${quality_of[pieces]}")
    printf 'Compatible style against one ffmpeg pass: %s (goal: at most 0.60); ' "$compatible_ratio"
    printf 'with one worker: %s\n' "$compatible_one_ratio"
    printf 'Encoder quality, single run: SNR %s dB, loudest 10 ms of error %s dB over its 99th percentile\n' \
        "$s1" "$l1"
    printf 'Encoder quality, in pieces:  SNR %s dB (%s dB; goal: within 0.2), loudest %s dB (%s dB; goal: at most 0)\n' \
        "$s2" "$(awk -v a="$s2" -v b="$s1" 'BEGIN { printf "%+.2f", a - b }')" "$l2" \
        "$(awk -v a="$l2" -v b="$l1" 'BEGIN { printf "%+.2f", a - b }')"
    printf 'Single runs from another rate-control start (lambda 100, 140): SNR %s, %s dB; loudest %s, %s dB\n' \
        "$(figure snr_db "${quality_of[lambda100]}")" "$(figure snr_db "${quality_of[lambda140]}")" \
        "$(figure loudest_error_db "${quality_of[lambda100]}")" \
        "$(figure loudest_error_db "${quality_of[lambda140]}")"
    printf 'Peak resident memory of afconvert in a compatible-style run: %s kB\n' "$encoder_kb"
    # The encoder alone on N cores, from its measured rates on the movie's
    # sound: two workers encode it in encoder_two seconds, lead-in and the
    # contention of two cores included, so a core encodes seconds /
    # (2 * encoder_two) of sound a second; on N cores the pieces shrink
    # toward the end so that all finish together: about seconds / (N * that
    # rate). Against the compatible run with one worker, the rest of the
    # conversion (extraction, mux, copy) is what the encoder no longer hides.
    seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/big.mkv")
    awk -v one="$encoder_one" -v two="$encoder_two" -v d="$seconds" -v base="$theirs_median" \
        -v t1="$compatible_one_median" -v t2="$compatible_median" 'BEGIN {
            core = d / (2 * two)
            printf "Encoder alone on this movie'"'"'s %.0f s of sound: 1 core %.1f s, 2 cores %.1f s (x%.2f)", d, one, two, one / two
            for (i = 1; i <= 2; i++) {
                n = i == 1 ? 8 : 16
                printf ", %d cores about %.1f s", n, d / (n * core)
            }
            printf " (one ffmpeg pass: %.1f s; compatible style %.1f s with one worker, %.1f s with two)\n", base, t1, t2
        }'
}
if [[ $only == aac ]]; then
    cat "$work/big.mkv" >/dev/null
    echo "Timing ($pairs pairs a row; movie of ${movie_mb} MB, ${movie_min} min)..." >&2
    aac_rows
    printf '\n%-58s %10s %10s %7s\n' "work (median of runs)" "vantreo" "baseline" "ratio"
    printf '%s\n' "${rows[@]}"
    printf '\n'
    aac_report
    exit 0
fi
if [[ $only == floor ]]; then
    cat "$work/big.mkv" >/dev/null
    echo "Timing ($pairs pairs a row; movie of ${movie_mb} MB, ${movie_min} min)..." >&2
    floor_rows
    printf '\n%-58s %10s %10s %7s\n' "work (median of runs)" "vantreo" "baseline" "ratio"
    printf '%s\n' "${rows[@]}"
    printf '\nFast style against probe-then-copy: %s (goal: at most 1.03)\n' "$floor_ratio"
    printf 'The same into RAM, without the disk: %s\n' "$ram_ratio"
    aac_report
    printf 'Largest temporary file of a compatible run: %s (goal: at most 16 MB)\n' "$largest_tmp"
    exit 0
fi

echo "Timing ($pairs pairs a row, $batch_pairs for the batch; movie of ${movie_mb} MB, ${movie_min} min)..." >&2
row "convert --style fast, ${movie_mb} MB MKV (probe included)" ours_fast theirs_fast "$pairs"
fast_median=$ours_median
copy_median=$theirs_median
row "ten 10-second 720p movies in one convert" ours_batch theirs_batch "$batch_pairs"
row "probe --json, ${movie_mb} MB MKV" ours_probe theirs_probe "$pairs"
listing_median=$theirs_median
floor_rows
streamable_rows

# What the read-back of a finished file costs a job (every job makes it):
# its time against the whole fast-style run.
echo "Read-back of the written file..." >&2
clear_outputs
ours_fast >/dev/null 2>&1
verify=$("$verify_bench" "$(find "$work/out" -type f -name 'big.*' -print -quit)")
verify_share=$(awk -v v="${verify%% ms*}" -v f="$fast_median" 'BEGIN { printf "%.2f", v / 10 / f }')
clear_outputs
echo "Flush of the finished movie..." >&2
flush_figure

# Peak resident memory of the command line itself (VmHWM of its own
# process, not of the tools it runs), read until it exits.
peak_kb() {
    local pid hwm=0 v
    "$cli" convert --style fast --dest "$work/out" "$@" >/dev/null 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        v=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
        [[ -n $v ]] && ((v > hwm)) && hwm=$v
        sleep 0.05
    done
    wait "$pid" || true
    echo "$hwm"
}
echo "Memory..." >&2
clear_outputs
mem_batch=$(peak_kb "${batch[@]}")
clear_outputs
mem_ten=$(peak_kb "${queue[@]:0:10}")
clear_outputs
mem_queue=$(peak_kb "${queue[@]}")
clear_outputs

echo "Main-thread stalls..." >&2
lat_fast=$("$latency_bench" "$work/batch/Movie 1.mkv" "$work/big.mkv" "$work/out" 1)
clear_outputs
lat_compat=$("$latency_bench" "$work/batch/Movie 1.mkv" "$work/big.mkv" "$work/out" 0)
clear_outputs
lat_drop=$("$latency_bench" --movies "${BENCH_DROP:-300}" "$work/drop" 1)
rm -rf "$work/drop"

printf '\n%-58s %10s %10s %7s\n' "work (median of runs)" "vantreo" "baseline" "ratio"
printf '%s\n' "${rows[@]}"
printf '\nStreamable against plain output: %s (goal: at most 1.05)\n' "$streamable_ratio"
printf 'Fast style against probe-then-copy: %s (goal: at most 1.03)\n' "$floor_ratio"
printf 'The same into RAM, without the disk: %s\n' "$ram_ratio"
aac_report
printf 'Largest temporary file of a compatible run: %s (goal: at most 16 MB)\n' "$largest_tmp"
# Any tool that reads the movie with ffmpeg before it copies pays one more
# start of ffmpeg than the bare copy: the fast row cannot go below this.
printf '\nFloor of the fast row for a probe-then-copy run ((copy + ffmpeg -i) / copy): %s\n' \
    "$(awk -v c="$copy_median" -v l="$listing_median" 'BEGIN { printf "%.2f", (c + l) / c }')"
printf 'Read-back check of the fast-style output: %s; %s %% of the fast-style run\n' \
    "$verify" "$verify_share"
printf 'Flush of the finished fast-style movie (fsync of file and folder): %s\n' "$flush_line"
printf 'Peak resident memory of vantreo-cli: %s kB for the ten-movie batch; ' "$mem_batch"
printf '%s kB for 10 tiny movies, %s kB for %s (growth %s kB)\n' "$mem_ten" "$mem_queue" \
    "$queue_size" "$((mem_queue - mem_ten))"
printf 'Desktop main thread, fast style: %s\n' "$lat_fast"
printf 'Desktop main thread, compatible style: %s\n' "$lat_compat"
printf 'Desktop main thread, %s\n' "$lat_drop"
