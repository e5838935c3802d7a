#!/usr/bin/env bash
# Checks Kestrel the way a screen reader meets it: starts the program on a virtual X
# display with a private D-Bus session and the AT-SPI accessibility bus, opens every
# window through its menu command over AT-SPI, in English and in Chinese, and prints
# for each window the controls it saw and those without a usable name (none, or only
# their current value). Also checks that a status note reaches the bus as a name change.
# Exits non-zero when any control has no usable name or the program cannot be reached.
#
# Usage: scripts/a11y-check.sh [PROGRAM]   (default build-test/bin/kestrel, then build/bin/kestrel)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh a11y >/dev/null

program=${1:-}
if [ -z "$program" ]; then
  for p in build-test/bin/kestrel build/bin/kestrel; do [ -x "$p" ] && { program=$p; break; }; done
fi
[ -x "${program:-}" ] || { echo "a11y-check: no kestrel program found (build it first)" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

eval "$(dbus-launch --sh-syntax)"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
sleep 1

# A data file for the compare window, and settings of the run's own.
"${program%/kestrel}/kestrel-cli" new -o "$work/other.dat" >/dev/null 2>&1 ||
  head -c 8192 /dev/zero >"$work/other.dat"
export KESTREL_SETTINGS=$work/settings.ini XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1
export ASAN_OPTIONS=detect_leaks=0
"$program" >"$work/kestrel.log" 2>&1 &
pids+=($!)

status=0
/usr/bin/python3 scripts/a11y_check.py "$work/other.dat" || status=$?
if [ $status -ne 0 ]; then
  echo "--- program output" >&2
  tail -20 "$work/kestrel.log" >&2
fi
exit $status
