#!/usr/bin/env bash
# Builds Kestrel with AddressSanitizer and UndefinedBehaviorSanitizer (installing missing
# packages first) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=address,undefined >/dev/null
cmake --build build-test -j2
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@"
