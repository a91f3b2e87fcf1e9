#!/usr/bin/env bash
# Set-up, build and every test: the normal build with all tests, then the
# game's tests once more under AddressSanitizer and UndefinedBehaviorSanitizer,
# then every fuzz target for 20 seconds on its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON -DTEV_GAME_ONLY=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L game
bash tools/fuzz.sh
