#!/usr/bin/env bash
# CPU per frame of the real game under Xvfb, in play with Ctrl held (the role
# casts again and again), for each game program given, taking turns:
#
#   bash tools/measure_present.sh ROUNDS GAME [GAME...]
#   bash tools/measure_present.sh --check GAME [GAME...]
#
# Each run copies the demo folder (build/demo), starts a game from it, holds
# Ctrl, and lets tools/measure/present_counter.c (preloaded) time 600
# presented frames after the first 120: CPU seconds of the whole process,
# every thread counted. Prints one line per run and the medians per game.
# A game is a path (taken from the folder the command is given in) or a
# name on the PATH; --check only prints each game program as it will run.
set -euo pipefail
rounds=${1:?rounds}
shift
# The games are found from where the command was given: the runs take place
# in a copy of the demo folder.
games=()
for game in "$@"; do
  if [[ $game == */* ]]; then
    found=$(cd "$(dirname "$game")" 2>/dev/null && echo "$PWD/$(basename "$game")") || found=
  else
    found=$(command -v "$game" 2>/dev/null) || found=
  fi
  if [ -z "$found" ] || [ ! -f "$found" ] || [ ! -x "$found" ]; then
    echo "measure_present.sh: no game program at $game" >&2
    exit 1
  fi
  games+=("$found")
done
if [ "$rounds" = --check ]; then
  printf '%s\n' "${games[@]}"
  exit 0
fi
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -shared -fPIC -o "$work/counter.so" tools/measure/present_counter.c -ldl
cp -r build/demo "$work/game"
# Start state 3: straight into a new game.
sed -i '2s/^0!/3!/' "$work/game/config.jcf"

cat > "$work/run.sh" <<'INNER'
game=$1 out=$2 dir=$3
cd "$dir"
rm -f "$out"
LD_PRELOAD=$COUNTER PRESENT_OUT=$out PRESENT_SKIP=120 PRESENT_FRAMES=600 SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>&1 &
pid=$!
for i in $(seq 1 100); do
  [ -n "$(xdotool search --name 'Tev Legend by Jex' 2>/dev/null)" ] && break
  sleep 0.1
done
sleep 0.5
xdotool keydown Control_L
for i in $(seq 1 300); do [ -s "$out" ] && break; sleep 0.1; done
xdotool keyup Control_L
kill -TERM $pid; wait $pid || true
INNER

results=$work/results
for r in $(seq 1 "$rounds"); do
  for game in "${games[@]}"; do
    rm -rf "$work/play" && cp -r "$work/game" "$work/play"
    COUNTER=$work/counter.so xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh" "$game" "$work/out" "$work/play"
    read -r frames cpu wall < "$work/out"
    echo "$game $frames $cpu $wall" | tee -a "$results"
  done
done
python3 - "$results" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    game, frames, cpu, wall = line.split()
    runs.setdefault(game, []).append((int(frames), float(cpu), float(wall)))
print("%-40s %16s %12s" % ("game", "CPU ms / frame", "frames / s"))
for game, rs in runs.items():
    print("%-40s %16.2f %12.1f" % (game, statistics.median(1000 * c / f for f, c, w in rs),
                                    statistics.median(f / w for f, c, w in rs)))
PY
