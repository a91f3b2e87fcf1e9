#!/usr/bin/env bash
# Set-up, build, the demo game folder, and the map editor started from its
# folder inside the game folder (it takes the folder it was started from as
# its own and the folder above as the game's).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tilesmith demo
cd build/demo/editor
exec ./tilesmith
