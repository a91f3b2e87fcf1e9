#!/usr/bin/env bash
# Installs every Debian package that building, playing and testing need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config python3
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libfluidsynth-dev
  fonts-wqy-microhei timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev libgl-dev
  xvfb xauth xdotool imagemagick sox
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
