#!/usr/bin/env bash
# Plays a movie in a real browser: Chromium, headless, loads the file into a
# <video> element and reports what it read once the first frame is decoded
# (the metadata alone only proves the container parsed).
#
#   scripts/browser-check.sh MOVIE.mp4 [--expect-duration SECONDS] [--timeout SECONDS]
#
# Prints one line, e.g. `duration=3.000 width=160 height=120`, and exits 0
# when the video loaded with a positive duration and picture size (and, with
# --expect-duration, a duration within 0.3 s of the one expected). Exits 1
# with the reason on stderr when the browser reports a media error, the
# values are wrong or nothing is reported within the timeout (60 s), 2 on a
# usage error, and 77 when /usr/bin/chromium is not installed.
#
# A small HTTP server on 127.0.0.1 (python3) serves the page and the movie,
# with byte ranges, which the browser uses to seek to a movie's index; the
# page sends its result back to that server. The server, the browser and
# the temporary folder (the browser's profile among them) go away on exit.
set -euo pipefail

export LC_ALL=C # printf's and awk's decimal point
chromium=${VANTREO_CHROMIUM:-/usr/bin/chromium}
tolerance=0.3

usage() {
    echo "usage: $0 MOVIE.mp4 [--expect-duration SECONDS] [--timeout SECONDS]" >&2
    exit 2
}
is_number() { [[ "$1" =~ ^[0-9]+(\.[0-9]+)?$ ]]; }

movie="" expect="" timeout=60
while [ $# -gt 0 ]; do
    case "$1" in
    --expect-duration)
        { [ $# -ge 2 ] && is_number "$2"; } || usage
        expect=$2
        shift 2
        ;;
    --timeout)
        { [ $# -ge 2 ] && [[ "$2" =~ ^[1-9][0-9]*$ ]]; } || usage
        timeout=$2
        shift 2
        ;;
    -*) usage ;;
    *)
        [ -z "$movie" ] || usage
        movie=$1
        shift
        ;;
    esac
done
[ -n "$movie" ] || usage
if [ ! -f "$movie" ] || [ ! -r "$movie" ]; then
    echo "browser-check: $movie is not a readable file" >&2
    exit 1
fi
if [ ! -x "$chromium" ]; then
    echo "browser-check: $chromium is not installed" >&2
    exit 77
fi
command -v python3 >/dev/null || { echo "browser-check: python3 is not installed" >&2; exit 1; }
movie=$(cd "$(dirname "$movie")" && pwd)/$(basename "$movie")

work=$(mktemp -d "${TMPDIR:-/tmp}/vantreo-browser-check.XXXXXX")
server_pid="" browser_pid=""
cleanup() {
    # The browser runs in a process group of its own, with its zygote,
    # renderer and utility processes: end them all, then the server.
    if [ -n "$browser_pid" ]; then
        kill -TERM -- "-$browser_pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 -- "-$browser_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL -- "-$browser_pid" 2>/dev/null || true
    fi
    [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# The server: / is the page, /movie.mp4 the movie (with Range support), and
# /report?... appends the page's query to the report file, a line per call.
cat >"$work/serve.py" <<'EOF'
import http.server, os, re, sys, threading, urllib.parse

movie, page, report, port_file = sys.argv[1:5]
lock = threading.Lock()

class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, fmt, *args):
        sys.stderr.write("%s\n" % (fmt % args))

    def send_body(self, data, ctype):
        self.send_response(200)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(data)

    def send_movie(self):
        size = os.path.getsize(movie)
        start, end = 0, size - 1
        ranged = re.fullmatch(r"bytes=(\d*)-(\d*)", self.headers.get("Range", ""))
        if ranged and (ranged[1] or ranged[2]):
            if ranged[1]:
                start = int(ranged[1])
                end = min(int(ranged[2]), size - 1) if ranged[2] else size - 1
            else:
                start = max(size - int(ranged[2]), 0)
            if start > end:
                self.send_response(416)
                self.send_header("Content-Range", "bytes */%d" % size)
                self.end_headers()
                return
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, size))
        else:
            self.send_response(200)
        self.send_header("Content-Type", "video/mp4")
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Length", str(end - start + 1))
        self.end_headers()
        with open(movie, "rb") as f:
            f.seek(start)
            left = end - start + 1
            while left > 0:
                chunk = f.read(min(left, 1 << 16))
                if not chunk:
                    break
                self.wfile.write(chunk)
                left -= len(chunk)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        try:
            if url.path == "/":
                with open(page, "rb") as f:
                    self.send_body(f.read(), "text/html; charset=utf-8")
            elif url.path == "/movie.mp4":
                self.send_movie()
            elif url.path == "/report":
                with lock, open(report, "a") as f:
                    f.write(url.query + "\n")
                self.send_body(b"", "text/plain")
            else:
                self.send_error(404)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the browser dropped a request it no longer needs

server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(port_file + ".part", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + ".part", port_file)
server.serve_forever()
EOF

# The page reports the stage it reached (metadata), then the result: the
# values once a frame is decoded, or the media error.
cat >"$work/page.html" <<'EOF'
<!doctype html>
<meta charset="utf-8">
<title>browser check</title>
<video id="video" preload="auto" muted></video>
<script>
const video = document.getElementById("video");
let done = false;
function send(fields) {
    fetch("/report?" + new URLSearchParams(fields), { cache: "no-store" });
}
function finish(fields) {
    if (!done) { done = true; send(fields); }
}
video.addEventListener("loadedmetadata", () => send({ stage: "metadata" }));
video.addEventListener("loadeddata", () => finish({
    status: "ok", duration: video.duration,
    width: video.videoWidth, height: video.videoHeight }));
video.addEventListener("error", () => finish({
    status: "error", code: video.error ? video.error.code : 0,
    message: video.error ? video.error.message : "" }));
video.src = "/movie.mp4";
</script>
EOF

python3 "$work/serve.py" "$movie" "$work/page.html" "$work/report" "$work/port" \
    2>"$work/server.log" &
server_pid=$!

deadline=$((SECONDS + timeout))
until [ -s "$work/port" ]; do
    if ! kill -0 "$server_pid" 2>/dev/null; then
        echo "browser-check: the HTTP server did not start:" >&2
        tail -n 5 "$work/server.log" >&2
        exit 1
    fi
    if [ $SECONDS -ge $deadline ]; then
        echo "browser-check: timed out after ${timeout} s waiting for the HTTP server" >&2
        exit 1
    fi
    sleep 0.1
done
port=$(cat "$work/port")

# The browser keeps its profile, caches and temporary files in the work
# folder; setsid puts it in a process group of its own for the cleanup.
mkdir -p "$work/home" "$work/tmp"
HOME=$work/home TMPDIR=$work/tmp XDG_CONFIG_HOME=$work/home/.config \
    XDG_CACHE_HOME=$work/home/.cache setsid "$chromium" \
    --headless=new --no-sandbox --disable-gpu --disable-dev-shm-usage \
    --user-data-dir="$work/profile" --no-first-run --no-default-browser-check \
    --disable-extensions --disable-sync --disable-background-networking \
    --disable-component-update --disable-breakpad --mute-audio \
    "http://127.0.0.1:$port/" >"$work/browser.log" 2>&1 </dev/null &
browser_pid=$!

# The value of field $1 in the query string $2.
field() { tr '&' '\n' <<<"$2" | sed -n "s/^$1=//p" | head -n 1; }
result=""
until result=$(grep -m 1 '^status=' "$work/report" 2>/dev/null); do
    if ! kill -0 "$browser_pid" 2>/dev/null; then
        echo "browser-check: Chromium ended without loading the movie:" >&2
        tail -n 10 "$work/browser.log" >&2
        exit 1
    fi
    if [ $SECONDS -ge $deadline ]; then
        if grep -q '^stage=metadata' "$work/report" 2>/dev/null; then
            echo "browser-check: timed out after ${timeout} s: the metadata loaded but no frame was decoded" >&2
        else
            echo "browser-check: timed out after ${timeout} s: the movie's metadata did not load" >&2
        fi
        exit 1
    fi
    sleep 0.2
done

if [ "$(field status "$result")" != ok ]; then
    message=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote_plus(sys.argv[1]))' \
        "$(field message "$result")")
    echo "browser-check: Chromium could not play $movie: media error $(field code "$result")${message:+ ($message)}" >&2
    exit 1
fi
duration=$(field duration "$result")
width=$(field width "$result")
height=$(field height "$result")
if ! is_number "$duration" || ! is_number "$width" || ! is_number "$height"; then
    echo "browser-check: Chromium reported duration=$duration width=$width height=$height" >&2
    exit 1
fi
line=$(printf 'duration=%.3f width=%d height=%d' "$duration" "$width" "$height")
echo "$line"
if ! awk -v d="$duration" -v w="$width" -v h="$height" 'BEGIN { exit !(d > 0 && w > 0 && h > 0) }'; then
    echo "browser-check: the video has no duration or no picture ($line)" >&2
    exit 1
fi
if [ -n "$expect" ] &&
    ! awk -v d="$duration" -v e="$expect" -v t="$tolerance" 'BEGIN { x = d - e; exit !(x <= t && -x <= t) }'; then
    echo "browser-check: the duration is $duration s, expected $expect s (± $tolerance s)" >&2
    exit 1
fi
