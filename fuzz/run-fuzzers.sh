#!/usr/bin/env bash
# Builds the libFuzzer targets with clang++ in build-fuzz and runs each one for
# SECONDS_PER_TARGET seconds (default 100) on a copy of its seed corpus, then
# prints what every target did. Inputs that make a target fail are left in
# build-fuzz/findings/<target>/; copy them into fuzz/corpus/<target>/ once the
# fault is fixed so the regression test replays them.
#
#   fuzz/run-fuzzers.sh [SECONDS_PER_TARGET] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-100}
shift || true

bash scripts/install-deps.sh --fuzz || exit 1

build=${VANTREO_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${VANTREO_JOBS:-$(nproc)}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVANTREO_FUZZ=ON -DVANTREO_BUILD_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" -j"$jobs" --target vantreo-fuzzers || exit 1

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    for source in fuzz/*_fuzzer.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp"

rows=()
failed=0
for target in "${targets[@]}"; do
    corpus="$work/$target"
    findings="$root/$build/findings/$target"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    cp fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null
    seeds=$(find "$corpus" -type f | wc -l)
    log="$root/$build/findings/$target.log"
    echo "== $target: $seconds s, $seeds seed files"
    # -timeout marks an input that runs longer than 10 s as a hang.
    "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
    status=$?
    execs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    units=$(find "$corpus" -type f | wc -l)
    artifacts=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
        -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) | wc -l)
    result="none"
    if [ "$status" -ne 0 ] || [ "$artifacts" -gt 0 ]; then
        result="$artifacts (exit $status, see $log)"
        failed=1
    fi
    rows+=("$(printf '%-28s %12s %10s  %s' "$target" "${execs:-?}" "$((units - seeds))" "$result")")
done

echo
printf '%-28s %12s %10s  %s\n' target executions new-units crashes/findings
for row in "${rows[@]}"; do
    echo "$row"
done
exit "$failed"
