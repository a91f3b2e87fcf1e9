#!/usr/bin/env bash
# Set-up, build, the demo game folder, and the game started in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tevlegend demo
cd build/demo
exec ../game/tevlegend
