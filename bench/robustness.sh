#!/usr/bin/env bash
# Runs fault and load scenarios through the built command line and prints one
# table: what happened (exit status and the first line of the message), the
# files left behind (partial outputs, temporary files in ~/Documents) and the
# processes left behind (any tool the command line started that still runs).
#
#   bench/robustness.sh [BUILD_DIR]
#
# BUILD_DIR build folder holding bin/vantreo-cli (default build). Scenarios
# that mount a small tmpfs need root and are marked "skipped" otherwise.
set -uo pipefail

build_dir=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build_dir in
/*) ;;
*) build_dir=$here/$build_dir ;;
esac
cli=$build_dir/bin/vantreo-cli
resources=$build_dir/resources
[[ -x $cli ]] || { echo "no vantreo-cli in $build_dir/bin: build it first" >&2; exit 2; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (apt-get install ffmpeg)" >&2; exit 2; }
command -v pgrep >/dev/null || { echo "pgrep is missing (apt-get install procps)" >&2; exit 2; }
ffmpeg_bin=$(command -v ffmpeg)

work=$(mktemp -d "${TMPDIR:-/tmp}/robustness.XXXXXX")
mounts=()
cleanup() {
    local m
    for m in "${mounts[@]}"; do umount -l "$m" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

rows=()
notes=()
is_root=0
[[ $(id -u) -eq 0 ]] && is_root=1

# ---------------------------------------------------------------- helpers

# A small movie: 64x48 mpeg4 video and one audio track.
make_movie() { # PATH AUDIO_CODEC SECONDS [EXTRA ffmpeg options]
    local path=$1 codec=$2 seconds=$3
    shift 3
    "$ffmpeg_bin" -hide_banner -loglevel error -y \
        -f lavfi -i "testsrc=size=64x48:rate=5:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" \
        -c:v mpeg4 -c:a "$codec" -ac 2 "$@" "$path"
}

mount_tmpfs() { # FOLDER SIZE
    ((is_root)) || return 1
    mkdir -p "$1"
    mount -t tmpfs -o "size=$2" tmpfs "$1" 2>/dev/null || return 1
    mounts+=("$1")
}

# A scenario's own home (with Documents) and settings file.
new_home() { # NAME
    home=$work/$1/home
    mkdir -p "$home/Documents"
}

# Fake tools: the real ones, except for movies named Slow (converted at the
# movie's own pace), Hang (never gets going and ignores SIGTERM) and
# AfconvertFails.
tools=$work/tools
mkdir -p "$tools"
cat >"$tools/ffmpeg" <<EOF
#!/bin/sh
case "\$*" in
*Slow*-progress*) exec '$ffmpeg_bin' -re "\$@" ;;
*Hang*-progress*) trap '' TERM INT; while :; do sleep 1; done ;;
esac
exec '$ffmpeg_bin' "\$@"
EOF
cat >"$tools/afconvert" <<EOF
#!/bin/sh
case "\$*" in
*AfconvertFails*) echo "afconvert: encoder error"; exit 1 ;;
esac
exec '$resources/afconvert' "\$@"
EOF
chmod +x "$tools/ffmpeg" "$tools/afconvert"

# Every living descendant of a process.
descendants() { # PID
    local child
    for child in $(pgrep -P "$1"); do
        echo "$child"
        descendants "$child"
    done
}

# Runs the command line in the background with HOME=$home, sampling every
# 0.2 s: the processes it started, the most ffmpeg children at once and its
# peak resident memory. When a conversion first runs, ACTION runs (a
# shell command; "$cli_pid" names the command line). Sets: status, out, err,
# seen (pids), peak_ffmpeg, hwm_kb.
run_cli() { # ACTION ENV... -- ARGS...
    local action=$1
    shift
    local envs=()
    while [[ $1 != -- ]]; do envs+=("$1"); shift; done
    shift
    out=$work/last.out
    err=$work/last.err
    env HOME="$home" XDG_CONFIG_HOME="$home/.config" VANTREO_SETTINGS_FILE="$home/settings.ini" \
        LANG=C.UTF-8 "${envs[@]}" "$cli" "$@" >"$out" 2>"$err" </dev/null &
    cli_pid=$!
    seen=" "
    peak_ffmpeg=0
    hwm_kb=0
    local acted=0 pid n hwm
    while kill -0 "$cli_pid" 2>/dev/null; do
        n=0
        for pid in $(descendants "$cli_pid"); do
            [[ $seen == *" $pid "* ]] || seen+="$pid "
        done
        # Converting ffmpeg children (probes run ffmpeg too, without -progress).
        for pid in $(pgrep -P "$cli_pid" -x ffmpeg); do
            tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -q -- ' -progress ' && n=$((n + 1))
        done
        ((n > peak_ffmpeg)) && peak_ffmpeg=$n
        hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$cli_pid/status" 2>/dev/null)
        [[ -n $hwm ]] && hwm_kb=$hwm
        if ((!acted && n > 0)) && [[ -n $action ]]; then
            acted=1
            eval "$action"
        fi
        sleep 0.2
    done
    wait "$cli_pid"
    status=$?
}

# For an ACTION: waits until the command line runs nothing but the
# converting ffmpeg for 0.8 s in a row, so every movie given has been probed
# and queued (probing runs ffmpeg and mediainfo).
wait_queued() {
    local quiet=0 tries=0
    while ((quiet < 4 && tries < 150)); do
        if (($(descendants "$cli_pid" | wc -l) == 1)); then quiet=$((quiet + 1)); else quiet=0; fi
        tries=$((tries + 1))
        sleep 0.2
    done
}

# Processes the last run started that still live.
survivors() {
    local pid left=""
    sleep 0.3
    for pid in $seen; do
        if [[ -e /proc/$pid ]] && ! grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null; then
            left+="$pid($(cat "/proc/$pid/comm" 2>/dev/null)) "
        fi
    done
    echo "${left:-none}"
}

# Files left: the documents folder, plus whatever is in the given folders
# besides the expected files (globs matched against the basename).
leftovers() { # FOLDER [EXPECTED_GLOB...]
    local folder=$1 f name keep g found=""
    shift
    while IFS= read -r -d '' f; do
        name=${f##*/}
        keep=0
        for g in "$@"; do
            # shellcheck disable=SC2053
            [[ $name == $g ]] && keep=1
        done
        ((keep)) || found+="$name "
    done < <(find "$folder" -mindepth 1 -maxdepth 1 -print0 2>/dev/null)
    while IFS= read -r -d '' f; do
        found+="Documents/${f##*/} "
    done < <(find "$home/Documents" -mindepth 1 -maxdepth 1 -print0 2>/dev/null)
    echo "${found:-none}"
}

first_message() {
    local line
    line=$(grep -m1 -E '^(Failed|Not converted|Interrupted|vantreo-cli)' "$err")
    [[ -z $line ]] && line=$(grep -m1 . "$err")
    [[ -z $line ]] && line=$(grep -m1 '^Finished' "$out")
    line=${line//$work\//…/}
    ((${#line} > 110)) && line="${line:0:107}..."
    echo "$line"
}

row() { # SCENARIO HAPPENED FILES PROCESSES
    rows+=("$1"$'\t'"$2"$'\t'"$3"$'\t'"$4")
}

record() { # SCENARIO FILES
    row "$1" "exit $status: $(first_message)" "$2" "$(survivors)"
}

source_kept() { # PATH FINGERPRINT SCENARIO
    [[ $(stat -c '%s %Y' "$1" 2>/dev/null) == "$2" ]] || notes+=("$3: the source changed")
}

# ---------------------------------------------------------------- faults

# Disk full on the destination: a tmpfs with room for the source but not for
# the output (low-bitrate MP3 becomes a larger AC3 track with --style fast).
s="destination disk full (tmpfs)"
new_home full-dest
src=$work/full-dest/Grows.mkv
make_movie "$src" libmp3lame 20 -b:a 32k
fp=$(stat -c '%s %Y' "$src")
dest=$work/full-dest/out
if mount_tmpfs "$dest" "$(($(stat -c %s "$src") / 1024 + 24))k"; then
    run_cli "" -- convert --style fast --dest "$dest" "$src"
    record "$s" "$(leftovers "$dest")"
    source_kept "$src" "$fp" "$s"
else
    row "$s" "skipped (needs root and tmpfs)" "-" "-"
fi

s="documents folder full during WAV (tmpfs)"
new_home full-docs
src=$work/full-docs/Wave.mkv
make_movie "$src" ac3 10
fp=$(stat -c '%s %Y' "$src")
if mount_tmpfs "$home/Documents" 512k; then
    run_cli "" -- convert --style compatible "$src"
    record "$s" "$(leftovers "$work/full-docs" home Wave.mkv)"
    source_kept "$src" "$fp" "$s"
else
    row "$s" "skipped (needs root and tmpfs)" "-" "-"
fi

s="ffmpeg killed (SIGKILL) mid conversion"
new_home killed
src=$work/killed/Slow.mkv
make_movie "$src" aac 6
fp=$(stat -c '%s %Y' "$src")
run_cli 'sleep 1; pkill -KILL -P "$cli_pid" -x ffmpeg' VANTREO_TOOLS_DIR="$tools" -- convert "$src"
record "$s" "$(leftovers "$work/killed" home Slow.mkv)"
source_kept "$src" "$fp" "$s"

s="afconvert fails"
new_home afconvert
src=$work/afconvert/AfconvertFails.mkv
make_movie "$src" ac3 2
run_cli "" VANTREO_TOOLS_DIR="$tools" -- convert --style compatible "$src"
record "$s" "$(leftovers "$work/afconvert" home AfconvertFails.mkv)"

s="source deleted while queued"
new_home gone
make_movie "$work/gone/Slow.mkv" aac 3
make_movie "$work/gone/Gone.mkv" aac 1
run_cli 'wait_queued; rm -f "$work/gone/Gone.mkv"' VANTREO_TOOLS_DIR="$tools" -- \
    convert "$work/gone/Slow.mkv" "$work/gone/Gone.mkv"
record "$s" "$(leftovers "$work/gone" home Slow.mkv Slow.mp4)"

s="source deleted while converting"
new_home deleted
make_movie "$work/deleted/Slow.mkv" aac 3
run_cli 'sleep 1; rm -f "$work/deleted/Slow.mkv"' VANTREO_TOOLS_DIR="$tools" -- \
    convert "$work/deleted/Slow.mkv"
# A finished output is no leftover; a partial one after a failure is.
if ((status == 0)); then keep=Slow.mp4; else keep=; fi
record "$s" "$(leftovers "$work/deleted" home $keep)"

s="destination folder deleted, movie waiting"
new_home dest-gone
make_movie "$work/dest-gone/Slow.mkv" aac 3
make_movie "$work/dest-gone/Waiting.mkv" aac 1
mkdir -p "$work/dest-gone/out"
run_cli 'wait_queued; rm -rf "$work/dest-gone/out"' VANTREO_TOOLS_DIR="$tools" -- \
    convert --dest "$work/dest-gone/out" "$work/dest-gone/Slow.mkv" "$work/dest-gone/Waiting.mkv"
row "$s" "exit $status: $(grep -c '^Finished' "$out") finished; $(grep -m1 '^Failed: Waiting' "$err" | cut -c1-110)" \
    "$(leftovers "$work/dest-gone" home Slow.mkv Waiting.mkv)" "$(survivors)"

s="destination read-only (remount), movie waiting"
new_home dest-ro
mkdir -p "$work/dest-ro/first"
if mount_tmpfs "$work/dest-ro/second" 4m; then
    make_movie "$work/dest-ro/first/Slow.mkv" aac 3
    make_movie "$work/dest-ro/second/Waiting.mkv" aac 1
    run_cli 'wait_queued; mount -o remount,ro "$work/dest-ro/second"' VANTREO_TOOLS_DIR="$tools" -- \
        convert "$work/dest-ro/first/Slow.mkv" "$work/dest-ro/second/Waiting.mkv"
    row "$s" "exit $status: $(grep -c '^Finished' "$out") finished; $(grep -m1 '^Failed: Waiting' "$err" | cut -c1-110)" \
        "$(leftovers "$work/dest-ro/second" Waiting.mkv)" "$(survivors)"
else
    row "$s" "skipped (needs root and tmpfs)" "-" "-"
fi

for missing in ffmpeg mediainfo MP4Box afconvert; do
    new_home "missing-$missing"
    bin=$work/missing-$missing/bin
    res=$work/missing-$missing/res
    mkdir -p "$bin" "$res"
    for t in ffmpeg ffprobe mediainfo; do
        [[ $t == "$missing" ]] || ln -s "$(command -v "$t")" "$bin/$t"
    done
    for t in MP4Box afconvert; do
        [[ $t == "$missing" ]] || ln -s "$resources/$t" "$res/$t"
    done
    make_movie "$work/missing-$missing/Any.mkv" aac 1
    run_cli "" PATH="$bin" VANTREO_RESOURCES_DIR="$res" -- convert "$work/missing-$missing/Any.mkv"
    record "$missing missing" "$(leftovers "$work/missing-$missing" home bin res Any.mkv)"
done

s="tool hangs at start, then SIGTERM"
new_home hang
make_movie "$work/hang/Hang.mkv" aac 1
run_cli 'sleep 1; kill -TERM "$cli_pid"' VANTREO_TOOLS_DIR="$tools" -- convert "$work/hang/Hang.mkv"
record "$s" "$(leftovers "$work/hang" home Hang.mkv)"

s="settings file of random bytes"
new_home corrupt
make_movie "$work/corrupt/Tone.mkv" ac3 1
head -c 4096 /dev/urandom >"$work/corrupt/bad.ini"
run_cli "" -- --settings "$work/corrupt/bad.ini" convert "$work/corrupt/Tone.mkv"
record "$s" "$(leftovers "$work/corrupt" home Tone.mkv Tone.mp4 bad.ini)"

s="settings of wrong types / out of range"
new_home wrong
make_movie "$work/wrong/Tone.mkv" ac3 1
printf '[General]\nConversionPreset=abc\nAC3SurroundBitrate=7\nDefaultAudio=99\nDestinationNames=5\n' \
    >"$work/wrong/wrong.ini"
run_cli "" -- --settings "$work/wrong/wrong.ini" convert "$work/wrong/Tone.mkv"
record "$s" "$(leftovers "$work/wrong" home Tone.mkv Tone.mp4 wrong.ini)"

s="settings path is a folder"
new_home folder
make_movie "$work/folder/Tone.mkv" ac3 1
mkdir -p "$work/folder/dir.ini"
run_cli "" -- --settings "$work/folder/dir.ini" convert "$work/folder/Tone.mkv"
record "$s" "$(leftovers "$work/folder" home Tone.mkv Tone.mp4 dir.ini)"

for sig in TERM INT; do
    s="SIG$sig with one converting, one queued"
    new_home "quit-$sig"
    make_movie "$work/quit-$sig/Slow.mkv" ac3 8
    make_movie "$work/quit-$sig/Queued.mkv" aac 1
    run_cli "sleep 1.5; kill -$sig \"\$cli_pid\"" VANTREO_TOOLS_DIR="$tools" -- \
        convert --style compatible "$work/quit-$sig/Slow.mkv" "$work/quit-$sig/Queued.mkv"
    record "$s" "$(leftovers "$work/quit-$sig" home Slow.mkv Queued.mkv)"
done

# ---------------------------------------------------------------- load

load() { # COUNT
    local count=$1 name=load-$1 i
    new_home "$name"
    local in=$work/$name/in outdir=$work/$name/out
    mkdir -p "$in" "$outdir"
    make_movie "$in/proto.mkv" aac 1 -s 64x64
    local files=()
    for ((i = 0; i < count; i++)); do
        printf -v f '%s/movie-%03d.mkv' "$in" "$i"
        cp "$in/proto.mkv" "$f"
        files+=("$f")
    done
    rm "$in/proto.mkv"
    local started=$SECONDS
    run_cli "" -- convert --dest "$outdir" "${files[@]}"
    local took=$((SECONDS - started))
    local finished outputs ordered=yes
    finished=$(grep -c '^Finished: ' "$out")
    outputs=$(find "$outdir" -name '*.mp4' | wc -l)
    local outs=()
    for ((i = 0; i < count; i++)); do
        printf -v f '%s/movie-%03d.mp4' "$outdir" "$i"
        outs+=("$f")
    done
    # Modification times in input order: each output was written after the last.
    stat -c '%.9Y' "${outs[@]}" 2>/dev/null | sort -c -g 2>/dev/null || ordered=no
    row "$count short movies queued at once" \
        "exit $status: $finished/$count finished, $outputs outputs, max ${peak_ffmpeg} converting at once, in order: $ordered, peak RSS ${hwm_kb} kB, ${took} s" \
        "$(leftovers "$outdir" 'movie-*.mp4')" "$(survivors)"
}
load 10
load 200

# ---------------------------------------------------------------- table

{
    printf 'scenario\twhat happened (exit status: first line)\tfiles left behind\tprocesses left behind\n'
    printf -- '---\t---\t---\t---\n'
    printf '%s\n' "${rows[@]}"
} | awk -F'\t' '{ printf "| %-46s | %s | %s | %s |\n", $1, $2, $3, $4 }'
for n in "${notes[@]}"; do echo "note: $n"; done
exit 0
