#!/usr/bin/env bash
# Builds the program with optimisation in build-release/ and makes its Debian package there,
# build-release/vantorell2001_VERSION_ARCH.deb, which installs both programs, the shipped
# engines, the help page, the desktop entry, the type of results files, the icon and the
# AppStream metainfo under /usr. Install it with
#   sudo apt install ./build-release/vantorell2001_*.deb
# and start the window from the desktop's menu or with `vantorell2001`.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVANTORELL_BUILD_TESTS=OFF \
  -DVANTORELL_BUILD_BENCH=OFF >/dev/null
rm -f build-release/vantorell2001_*.deb
(cd build-release && cpack -G DEB >/dev/null)
ls build-release/vantorell2001_*.deb
