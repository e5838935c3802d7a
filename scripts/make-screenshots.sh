#!/usr/bin/env bash
# Makes the user guide's pictures again and checks the guide: builds the guide in a build
# folder (build-test by default, the one ./test.sh uses; another as the first argument),
# which runs kestrel-guide-shots: the real windows, on Qt's offscreen platform, after a read
# from the virtual radio kestrel-radio-sim on a pseudo-terminal, in English and Chinese.
# Then every picture a guide page uses must exist, and every picture made must be used.
# The pictures are build output (build-test/guide/images/), never committed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=address,undefined >/dev/null
fi
rm -f "$build/guide/images/pictures.stamp" # make them again even when no window changed
cmake --build "$build" -j2 --target guide
guide="$build/guide"
status=0
for page in "$guide/index.html" "$guide/index-zh.html"; do
  [ -s "$page" ] || { echo "missing guide page: $page" >&2; status=1; continue; }
  lang=en; [[ $page == *-zh.html ]] && lang=zh
  used=$(grep -o '<img [^>]*src="[^"]*"' "$page" | sed 's/.*src="\([^"]*\)"/\1/' | sort -u)
  [ -n "$used" ] || { echo "$page uses no picture" >&2; status=1; }
  for picture in $used; do
    [[ $picture == images/$lang/* ]] || { echo "$page: $picture is not a picture in the page's language" >&2; status=1; }
    [ -s "$guide/$picture" ] || { echo "$page: missing picture $picture" >&2; status=1; }
  done
  for made in "$guide"/images/$lang/*.png; do
    grep -qx "images/$lang/$(basename "$made")" <<<"$used" || { echo "$page does not use $made" >&2; status=1; }
  done
done
[ $status -eq 0 ] && echo "user guide: $(ls "$guide"/images/*/*.png | wc -l) pictures, every one used and present"
exit $status
