#!/usr/bin/env bash
# The real game under Xvfb on SDL's dummy audio driver, its title music
# replaced by each file of a table of damaged MIDI files (and by good ones,
# one of which the synthesizer complains about at every note): the title
# keeps being presented (its cursor follows the mouse), the game ends on a
# quit event within a second, a damaged piece is refused with one report
# naming it, and the synthesizer does not flood stderr.
set -u
G=${TEVLEGEND:?}
DEMO=${TEV_DEMO_DIR:?}
CASES=${TEV_DAMAGED_MIDI_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
need_tools xvfb-run xdotool import python3
work_on_copy "$DEMO"
# Start at the title, which plays the title music.
sed -i '2s/^0!/1!/' "$work/game/config.jcf"

cat > "$work/run.sh" <<INNER
cd "$work/game"
for f in "$CASES"/*.mid; do
  name=\$(basename "\$f" .mid)
  out="$work/\$name"
  mkdir -p "\$out"
  cp "\$f" Resource/mid/title.mid
  SDL_AUDIODRIVER=dummy "$G" > "\$out/stdout" 2> "\$out/stderr" &
  pid=\$!
  # The window, given time on a loaded machine; a game that ended before
  # showing one is a failure.
  for i in \$(seq 1 600); do
    xdotool search --name 'Tev Legend by Jex' >/dev/null 2>&1 && break
    kill -0 \$pid 2>/dev/null || break
    sleep 0.05
  done
  if ! kill -0 \$pid 2>/dev/null || ! xdotool search --name 'Tev Legend by Jex' >/dev/null 2>&1; then
    kill -9 \$pid 2>/dev/null; wait \$pid; echo "no window, exit \$?" > "\$out/ended"; continue
  fi
  # The pointer from a known place inside the window (the server keeps it
  # where the last case left it).
  xdotool mousemove 300 200
  sleep 1.5
  import -window root -crop 640x480+0+0 "\$out/a.png"
  xdotool mousemove_relative -- 80 40
  sleep 0.5
  import -window root -crop 640x480+0+0 "\$out/b.png"
  kill -TERM \$pid
  ended=late
  for i in \$(seq 1 20); do
    kill -0 \$pid 2>/dev/null || { ended=soon; break; }
    sleep 0.05
  done
  if [ \$ended = late ]; then kill -9 \$pid; fi
  wait \$pid
  echo "\$ended \$?" > "\$out/ended"
done
INNER
# -noreset: a server that resets when its last client leaves refuses the
# next game's connection for a moment, and the game would end at once.
timeout 360 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh"

# The game's report of music it cannot open: a box with the text, then one
# with the file's name (under Xvfb they go to stderr, marked "[box]").
report='[box] DXSHOW 打开MIDI音乐文件失败！'
for f in "$CASES"/*.mid; do
  name=$(basename "$f" .mid)
  out="$work/$name"
  check "$name: ends on the quit event within a second ($(cat "$out/ended" 2>/dev/null))" \
    "grep -qx 'soon 0' '$out/ended'"
  # The title's cursor moved with the mouse: the frames went on.
  moved=$(python3 - "$out/a.png" "$out/b.png" <<'PY' 2>&1
import subprocess, sys
def px(path):
    return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
a, b = px(sys.argv[1]), px(sys.argv[2])
print(sum(1 for i in range(0, min(len(a), len(b)), 3) if a[i:i + 3] != b[i:i + 3]))
PY
)
  check "$name: the title is still presented ($moved pixels changed)" "[ '${moved:-0}' -gt 20 ] 2>/dev/null"
  reports=$(grep -cF "$report" "$out/stderr")
  lines=$(wc -l < "$out/stderr")
  if [ "${name#good}" != "$name" ]; then
    check "$name: played without a report" "[ $reports -eq 0 ]"
  else
    check "$name: refused with one report" "[ $reports -eq 1 ] && grep -qxF 'tevlegend: [box] Resource\\mid\\title.mid' '$out/stderr'"
  fi
  check "$name: stderr holds a few lines ($lines)" "[ $lines -lt 20 ]"
  [ $fails -eq 0 ] || { echo "---- $name stderr:"; head -n 10 "$out/stderr"; }
done

echo "xvfb bad music checks: $fails failed"
[ $fails -eq 0 ]
