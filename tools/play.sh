#!/usr/bin/env bash
# Set-up, build, the demo game folder, and the game started in a game folder:
# the one given (a copy of the demo, say), or the demo.
#   bash tools/play.sh [GAME_FOLDER]
set -euo pipefail
# A folder given is taken from where the script was called.
game=${1:+$(realpath "$1")}
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tevlegend demo
program=$PWD/build/game/tevlegend
cd "${game:-build/demo}"
exec "$program"
