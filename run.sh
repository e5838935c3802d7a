#!/usr/bin/env bash
# Builds Kestrel (installing missing packages first) and starts it. Arguments go to kestrel:
# ./run.sh --demo starts it with four virtual radios to try every radio command on.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j2 --target kestrel kestrel-cli kestrel-radio-sim default_images guide
exec build/bin/kestrel "$@"
