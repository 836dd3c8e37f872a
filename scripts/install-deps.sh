#!/usr/bin/env bash
# Installs what Vantreo needs to build, test and run on Debian 12. Safe to run
# again: it only calls apt-get when a package is missing.
#
#   scripts/install-deps.sh [--fuzz | --package | --check-package]
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools
    # The translations: lupdate and lrelease, CMake's LinguistTools, and Qt's
    # own catalogues for the buttons of the standard dialogs.
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
    libgtest-dev libgmock-dev
    ffmpeg mediainfo
    # Detects the encoding of subtitle files in legacy code pages.
    libuchardet-dev
    # subocr: decodes picture subtitles with ffmpeg's libraries and reads
    # their text with Tesseract, in the languages it is most often asked for.
    libavformat-dev libavcodec-dev libavutil-dev
    libtesseract-dev tesseract-ocr-eng tesseract-ocr-deu tesseract-ocr-fra tesseract-ocr-spa
    tesseract-ocr-ita
    # The font the tests draw their picture subtitles in.
    fonts-dejavu-core
    # Movies muxed by other programs, for the tests (GStreamer's matroskamux
    # with its x265 and MP3 encoders among them).
    ogmtools mkvtoolnix
    gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    gstreamer1.0-plugins-bad
    # The desktop check under a real X server (scripts/desktop-check.sh) and
    # the private session bus of the launcher-entry test.
    xvfb xauth openbox xdotool dbus-daemon
    # The order of the system calls that finish a movie (fsync, rename).
    strace
    # systemd-analyze, which checks the watch service's unit file.
    systemd
    # Wayland sessions: Qt's platform plugin, and the headless compositor of
    # the Wayland check (scripts/wayland-check.sh).
    qt6-wayland weston
    # The browser check (scripts/browser-check.sh): a converted movie must
    # play in a real browser's <video> element, headless.
    chromium
)
case "${1:-}" in
# fuzz/run-fuzzers.sh also needs clang++ and its libFuzzer runtime.
--fuzz) packages+=(clang libclang-rt-14-dev) ;;
# scripts/package.sh: dpkg-buildflags and dpkg-shlibdeps (dpkg-dev), and file,
# which CPack uses to find the programs whose libraries become dependencies.
--package) packages+=(dpkg-dev file) ;;
# scripts/check-package.sh: the package checkers.
--check-package) packages+=(lintian appstream desktop-file-utils) ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
    echo "All packages are installed."
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q </dev/null
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
