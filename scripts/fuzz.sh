#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang (-DKESTREL_FUZZ=ON) in
# build-fuzz/ and runs each for SECONDS seconds (30 by default), every one in an empty
# working folder. Fails on the first crash, hang or broken property; the input that
# did it is kept in build-fuzz/fuzz-artifacts/ and is replayed with
#     build-fuzz/bin/fuzz_<input> build-fuzz/fuzz-artifacts/fuzz_<input>-crash-...
# What the harnesses find stays in build-fuzz/tests/fuzz/corpus/ for the next run.
#
# Usage: scripts/fuzz.sh [SECONDS] [fuzz_<input> ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
[ $# -gt 0 ] && shift
build=${KESTREL_FUZZ_BUILD:-build-fuzz}
case $build in /*) ;; *) build=$PWD/$build ;; esac

scripts/install-deps.sh fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON \
      -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target fuzzers

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$f" .cpp)"); done
fi
bin=$build/bin
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
for h in "${harnesses[@]}"; do
  work=$(mktemp -d)
  echo "== $h: ${seconds} s" >&2
  status=0
  # -timeout: one input running that long is a hang; the whole run is given a margin.
  (cd "$work" && timeout $((seconds + 120)) "$bin/$h" -max_total_time="$seconds" -timeout=60 \
      -artifact_prefix="$artifacts/$h-" -print_final_stats=1 >"$work/log" 2>&1) || status=$?
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" >&2 || true
  if [ $status -ne 0 ]; then
    tail -n 60 "$work/log" >&2
    echo "$h failed (status $status); the input is in $artifacts" >&2
    rm -rf "$work"
    exit 1
  fi
  rm -rf "$work"
done
echo "fuzzing passed: ${harnesses[*]}" >&2
