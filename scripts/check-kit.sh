# The helpers the desktop checks share (scripts/desktop-check.sh,
# scripts/wayland-check.sh). Sourced after `work` (the check's own folder)
# is made and CHECK_NAME is set: every process put into `pids` is ended and
# the folder removed on exit, and each step reports "ok - …" or
# "not ok - …" in TAP's manner.

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${VANTREO_DESKTOP_CHECK_DEBUG:-}" ] && cat "$work"/*.log >&2
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
ok() { echo "ok - $*"; passed=$((passed + 1)); }
not_ok() { echo "not ok - $*"; failed=$((failed + 1)); }
finish() {
    echo "$CHECK_NAME: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit $?
}
# Waits up to $2 seconds for process $1 to end.
wait_exit() {
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    ! kill -0 "$1" 2>/dev/null
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
seconds_of() {
    ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$1" 2>/dev/null || true
}
