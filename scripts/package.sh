#!/usr/bin/env bash
# Builds a release build of Vantreo and makes the Debian package
# vantreo_<version>_<arch>.deb at the top of the repository with CPack.
# Installs what it needs with apt-get (asks for sudo when not root).
#
#   bash scripts/package.sh
#   sudo apt-get install ./vantreo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh --package

# Debian's hardening flags (stack protector, fortify, relro, bind now), the
# same a Debian package build uses.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

build=${VANTREO_PACKAGE_BUILD_DIR:-$root/build-package}
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREO_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build" -j"${VANTREO_JOBS:-$(nproc)}"
(cd "$build" && cpack -G DEB)

rm -f "$root"/vantreo_*.deb
deb=$(find "$build" -maxdepth 1 -name 'vantreo_*.deb' -print -quit)
mv "$deb" "$root/"
echo "Made $root/$(basename "$deb")"
