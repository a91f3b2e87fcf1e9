#!/usr/bin/env bash
# The fuzz targets of fuzz/: builds them with clang into build-fuzz/ and runs
# them on their seeds (the generated demo folder and fuzz/seeds/).
#
#   bash tools/fuzz.sh                    every target for 20 s, several at once
#   bash tools/fuzz.sh TARGET [SECONDS]   one target, for an hour unless SECONDS
#
# A target fails on any crash, hang (one input over 10 s), leak or sanitizer
# report; the input that caused it lands in build-fuzz/findings/TARGET/ and
# the run's output in build-fuzz/logs/TARGET.log. Reproduce one with
#   build-fuzz/fuzz/TARGET build-fuzz/findings/TARGET/crash-...
# A long run keeps what it learns in build-fuzz/corpus/TARGET/; the short runs
# start from the seeds alone each time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-fuzz
jobs=$(nproc)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEV_FUZZ=ON
fi
cmake --build "$build" -j "$jobs" --target fuzz

demo=$build/demo
seeds=$root/fuzz/seeds
all_targets=(fuzz_map_text fuzz_map_change fuzz_script fuzz_ui_frame fuzz_save fuzz_config fuzz_bmp fuzz_wave fuzz_midi
  fuzz_editor_map fuzz_picture fuzz_attrib_list fuzz_placement_list fuzz_magic_list fuzz_event_table fuzz_recent_map)

# A save game of the demo: a new game started and saved to slot 1 by the
# headless game in a scratch copy of the demo folder.
save_seed=$build/seeds/save/tev1.jsv
make_save_seed() {
  local scratch
  scratch=$(mktemp -d)
  cp -r "$demo/." "$scratch/"
  rm -f "$scratch/Map/huge.jmap" "$scratch/Map/large.jmap"
  printf 'SaveGame(1)\r\nEOF\r\n' > "$scratch/Script/fuzzsave.jsr"
  "$build/game/tevlegend-headless" --root "$scratch" --passes 30 --script gameinit --open fuzzsave \
    > "$scratch/run.log" 2>&1 || true
  mkdir -p "$(dirname "$save_seed")"
  if [ -f "$scratch/Save/tev1.jsv" ]; then
    cp "$scratch/Save/tev1.jsv" "$save_seed"
  else
    echo "fuzz: the demo game wrote no save game; fuzz_save starts from no seed" >&2
    cat "$scratch/run.log" >&2
  fi
  rm -rf "$scratch"
}

# Copies the seeds of a target into a folder.
fill_seeds() {
  local target=$1 dir=$2
  mkdir -p "$dir"
  case $target in
  fuzz_map_text | fuzz_map_change | fuzz_editor_map)
    cp "$demo/Map/small.jmap" "$demo/Map/demo.jmap" "$seeds/map/"* "$dir/" ;;
  fuzz_script) cp "$demo/Script/"*.jsr "$seeds/script/"* "$dir/" ;;
  fuzz_ui_frame) cp "$demo/ui/"*.jui "$seeds/ui_frame/"* "$dir/" ;;
  fuzz_save) if [ -f "$save_seed" ]; then cp "$save_seed" "$dir/"; fi ;;
  fuzz_config) cp "$demo/config.jcf" "$seeds/config/"* "$dir/" ;;
  fuzz_bmp | fuzz_picture)
    cp "$demo/Resource/bmp/cursor.bmp" "$demo/Resource/bmp/ui_bar_hp.bmp" "$demo/Resource/bmp/deadrole.bmp" \
      "$seeds/bmp/"* "$dir/" ;;
  fuzz_wave) cp "$demo/Resource/wav/footstep.wav" "$demo/Resource/wav/closemenu.wav" "$seeds/wave/"* "$dir/" ;;
  fuzz_midi) cp "$demo/Resource/mid/"*.mid "$dir/" ;;
  fuzz_attrib_list) cp "$demo/editor/"*AttribList.txt "$dir/" ;;
  fuzz_placement_list) cp "$demo/Script/demo_npc.jsr" "$demo/Script/demo_monster.jsr" "$dir/" ;;
  fuzz_magic_list) cp "$demo/Script/MagicKindList.jsr" "$dir/" ;;
  fuzz_event_table) cp "$demo/Script/eventtable.txt" "$seeds/event_table/"* "$dir/" ;;
  fuzz_recent_map) cp "$demo/editor/RecentMap.txt" "$seeds/recent_map/"* "$dir/" ;;
  *) echo "fuzz: unknown target $target" >&2; return 1 ;;
  esac
}

# Runs one target for $2 seconds on the corpus folder $3; 0 when it ran clean.
run_target() {
  local target=$1 seconds=$2 corpus=$3
  local findings=$build/findings/$target
  mkdir -p "$findings" "$build/logs"
  local extra=()
  [ "$target" = fuzz_script ] && extra+=(-dict="$root/fuzz/script.dict")
  # The temporary game folders of the stateful targets go with the run.
  local tmp
  tmp=$(mktemp -d)
  local rc=0
  TMPDIR=$tmp ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    QT_QPA_PLATFORM=offscreen \
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${extra[@]}" "$corpus" \
    > "$build/logs/$target.log" 2>&1 || rc=$?
  rm -rf "$tmp"
  return $rc
}

if [ $# -ge 1 ]; then
  target=$1
  seconds=${2:-3600}
  corpus=$build/corpus/$target
  if [ "$target" = fuzz_save ] && [ ! -f "$save_seed" ]; then make_save_seed; fi
  fill_seeds "$target" "$corpus"
  echo "fuzz: $target for $seconds s; output in build-fuzz/logs/$target.log"
  if run_target "$target" "$seconds" "$corpus"; then
    grep -h 'stat::number_of_executed_units' "$build/logs/$target.log" || true
    echo "fuzz: $target ran clean"
  else
    tail -n 60 "$build/logs/$target.log"
    echo "fuzz: $target FAILED; the input is in build-fuzz/findings/$target/" >&2
    exit 1
  fi
  exit 0
fi

# Every target for 20 s on a fresh copy of its seeds, as many at once as
# there are cores.
seconds=${TEV_FUZZ_SECONDS:-20}
make_save_seed
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${all_targets[@]}"; do
  fill_seeds "$t" "$work/$t"
done
export -f run_target
export build root work seconds
printf '%s\n' "${all_targets[@]}" |
  xargs -P "$jobs" -I{} bash -c 'if run_target {} "$seconds" "$work/{}"; then echo ok > "$work/{}.result"; else echo FAILED > "$work/{}.result"; fi'

failed=0
printf '%-22s %12s  %s\n' target executions result
for t in "${all_targets[@]}"; do
  result=$(cat "$work/$t.result" 2>/dev/null || echo FAILED)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$t.log" | tail -n 1)
  printf '%-22s %12s  %s\n' "$t" "${execs:--}" "$result"
  if [ "$result" != ok ]; then
    failed=1
    echo "---- $t (build-fuzz/logs/$t.log, input in build-fuzz/findings/$t/)"
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal|Test unit written' "$build/logs/$t.log" | head -n 20 || true
  fi
done
exit $failed
