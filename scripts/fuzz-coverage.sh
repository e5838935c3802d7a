#!/usr/bin/env bash
# How much of the code each fuzz harness is there for its corpus reaches, measured with
# clang's source-based coverage: builds the harnesses with -fprofile-instr-generate
# -fcoverage-mapping in build-fuzz-cov/, runs each once over its corpus (what
# scripts/fuzz.sh found, in build-fuzz/tests/fuzz/corpus/, and the committed seeds) and
# reports the lines of the functions it targets that ran. Fails when a harness reaches
# less than 80% of them.
#
# Usage: scripts/fuzz-coverage.sh [fuzz_<input> ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KESTREL_FUZZ_COVERAGE_BUILD:-build-fuzz-cov}
case $build in /*) ;; *) build=$root/$build ;; esac
corpus=${KESTREL_FUZZ_BUILD:-build-fuzz}/tests/fuzz/corpus
case $corpus in /*) ;; *) corpus=$root/$corpus ;; esac
need=80
llvm=${LLVM_SUFFIX:--$(clang -dumpversion | cut -d. -f1)}

# No compiler launcher: the coverage mapping must name the sources by their own paths.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON \
      -DKESTREL_FUZZ_COVERAGE=ON -DBUILD_TESTING=OFF -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target fuzzers >/dev/null

# What each harness is for: "harness source-file function-regex" (the regex matched
# against the demangled names; "." for every function of the file).
targets() {
  cat <<'LIST'
fuzz_dat core/MemoryImage.cpp LoadImageFile|setBytes|MemoryImage::line|setLine|MemoryImage::byte|setByte|TakeImageSnapshot
fuzz_dat core/ChannelRecord.cpp ReadChannelForDisplay|ShowsAsEmpty|ChannelOptionText|ChannelTexts::text|anonymous
fuzz_dat core/Band.cpp DecodeBandLimits
fuzz_dat core/Tone.cpp DecodeTone
fuzz_dat settings/OptFeaturesRules.cpp LoadOptFeatures|StoreOptFeatures|anonymous
fuzz_dat settings/KeyRules.cpp LoadKeys|StoreKeys|Duration|anonymous
fuzz_dat settings/DtmfRules.cpp LoadDtmf|StoreDtmf|Dtmf(Number|KeysOnly)|Ani|FilterDtmfKey|ChangedSharedEntries|anonymous
fuzz_dat settings/ModelInfoRules.cpp ModelType(Position|Byte)
fuzz_dat link/EmbMsgText.cpp LineText|TextLine|ReadText|StoreText|FitsLine|Unstorable
fuzz_dat settings/MemoryMapModel.cpp MemoryMapModel::(load|store)
fuzz_dat settings/MemoryMapRules.cpp CellText|CellValue|CompleteCellText|RowsTheGridWillClear
fuzz_compare core/ImageDescription.cpp .
fuzz_compare core/ChannelDescription.cpp .
fuzz_compare settings/SettingsDescription.cpp .
fuzz_compare core/ImageCompare.cpp .
fuzz_compare link/EmbMsgText.cpp DescribeRadioInfo
fuzz_channels_csv channels/ChannelCsv.cpp .
fuzz_channels_csv channels/ChannelListReport.cpp .
fuzz_channels_csv channels/CsvText.cpp .
fuzz_channels_csv channels/ChannelLists.cpp ImportChannelList\(|ExportChannelList
fuzz_chirp_csv channels/ChirpCsv.cpp .
fuzz_chirp_csv channels/ChannelListReport.cpp .
fuzz_chirp_csv channels/CsvText.cpp .
fuzz_chirp_csv channels/ChannelLists.cpp ImportChannelList\(|ExportChannelList|ChannelsInUse
fuzz_settings core/Settings.cpp .
fuzz_settings core/Startup.cpp RunStartup|ReadRegistrySettings|OpenSettingsStore
fuzz_settings core/Backup.cpp ReadTransferSettings
fuzz_settings core/SessionMemory.cpp ReadSessionMemory|RecentFile|anonymous
fuzz_settings ports/PortMap.cpp DefaultDeviceForPort|PortOverride|DeviceForPort|PortSettingsFile|ResolvePortArgument
fuzz_layout shell/LayoutFile.cpp .
fuzz_layout shell/CommandTips.cpp .
fuzz_clone link/CloneEngine.cpp .
fuzz_clone link/CloneProtocol.cpp .
fuzz_text text/RadioText.cpp .
fuzz_text text/RadioFields.cpp .
LIST
}

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$f" .cpp)"); done
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
for h in "${harnesses[@]}"; do
  dirs=()
  for d in "$corpus/$h" "$root/tests/fuzz/$h"; do [ -d "$d" ] && dirs+=("$d"); done
  (cd "$work" && LLVM_PROFILE_FILE="$work/$h.profraw" "$build/bin/$h" -runs=0 "${dirs[@]}" >/dev/null 2>&1)
  "llvm-profdata$llvm" merge -sparse "$work/$h.profraw" -o "$work/$h.profdata"
  total=0
  missed=0
  echo "$h (corpus: ${dirs[*]#"$root"/})"
  while read -r harness file pattern; do
    [ "$harness" = "$h" ] || continue
    # Per function: mangled name, lines, missed lines; the names demangled for matching.
    "llvm-cov$llvm" report "$build/bin/$h" -instr-profile="$work/$h.profdata" -show-functions \
        "$root/$file" 2>/dev/null | awk 'NF == 10 && $1 != "TOTAL" && $5 ~ /^[0-9]+$/ { print $1, $5, $6 }' >"$work/rows"
    sed 's/^[^ :]*\.cpp://; s/ .*//' "$work/rows" | c++filt >"$work/names"
    read -r lines miss < <(paste -d'\t' "$work/names" "$work/rows" |
      awk -F'\t' -v re="$pattern" '$1 ~ re { split($2, f, " "); l += f[2]; m += f[3] } END { print l + 0, m + 0 }')
    total=$((total + lines))
    missed=$((missed + miss))
    printf '  %-34s %5d lines %5d missed  %s\n' "$file" "$lines" "$miss" "$pattern"
  done < <(targets)
  if [ "$total" -eq 0 ]; then
    echo "  no target lines found" >&2
    failed+=("$h")
    continue
  fi
  percent=$(( (total - missed) * 1000 / total ))
  printf '  %s: %d of %d target lines ran: %d.%d%%\n' "$h" $((total - missed)) "$total" $((percent / 10)) $((percent % 10))
  [ "$percent" -ge $((need * 10)) ] || failed+=("$h")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "below ${need}%: ${failed[*]}" >&2
  exit 1
fi
