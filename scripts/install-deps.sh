#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Kestrel needs to build, run and test, when missing
# (ser2net: the tests of network ports run the real serial server).
# `install-deps.sh fuzz` also installs clang and its libFuzzer runtime (scripts/fuzz.sh);
# `install-deps.sh package` what scripts/make-package.sh needs besides: `file` and
# dpkg-dev (CPack finds the programs' library dependencies with them, dpkg-buildflags gives
# the hardening flags) and lintian (checks the package as Debian's maintainers do);
# `install-deps.sh a11y` the virtual display, D-Bus and AT-SPI of scripts/a11y-check.sh.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev libgtest-dev fonts-noto-cjk python3-markdown
          qt6-translations-l10n libyaml-cpp-dev ser2net)
[ "${1:-}" = fuzz ] && packages+=(clang)
[ "${1:-}" = package ] && packages+=(file dpkg-dev lintian)
[ "${1:-}" = a11y ] && packages+=(xvfb dbus-x11 at-spi2-core python3-pyatspi xdotool)
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
updated=false
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  $updated || "${sudo[@]}" apt-get update -qq
  updated=true
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
install_missing "${packages[@]}"
# The fuzzer runtime of the installed clang (--no-install-recommends leaves it out).
if [ "${1:-}" = fuzz ]; then
  install_missing "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
fi
