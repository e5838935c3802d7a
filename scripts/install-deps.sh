#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Kestrel needs to build, run and test, when missing.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev libgtest-dev fonts-noto-cjk
          qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
