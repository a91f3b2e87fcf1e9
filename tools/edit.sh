#!/usr/bin/env bash
# Set-up, build, the demo game folder, and the map editor started for a game
# folder: the one given (a copy of the demo, say), or the demo. The editor
# keeps its own files in the game folder's "editor" folder and reads the
# game's folders beside it.
#   bash tools/edit.sh [GAME_FOLDER]
set -euo pipefail
# A folder given is taken from where the script was called.
game=${1:+$(realpath "$1")}
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tilesmith demo
exec build/editor/tilesmith "${game:-$PWD/build/demo}"
