#!/usr/bin/env bash
# Builds the Debian package build-deb/kestrel_VERSION_ARCH.deb from a release build
# without sanitizers (installing missing build packages first). Install it with
#   sudo apt-get install ./build-deb/kestrel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-deb -j2
cd build-deb
rm -f kestrel_*.deb
cpack -G DEB
