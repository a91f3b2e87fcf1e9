#!/usr/bin/env bash
# The real game in a real window under Xvfb: it opens 640x480 at the
# screen's top-left corner and a screenshot of it is taken.
set -u
G=${TEVLEGEND:?}
DEMO=${TEV_DEMO_DIR:?}
for tool in xvfb-run xdotool import convert; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$DEMO" "$work/game"
out=${TEV_SHOT_DIR:-$work}
cat > "$work/run.sh" <<INNER
cd "$work/game"
SDL_AUDIODRIVER=dummy "$G" > "$work/game.out" 2>&1 &
pid=\$!
for i in \$(seq 1 50); do
  wid=\$(xdotool search --name 'Tev Legend by Jex' 2>/dev/null | head -1)
  [ -n "\$wid" ] && break
  sleep 0.2
done
[ -n "\$wid" ] || { echo "no window"; kill \$pid; exit 1; }
sleep 2
xdotool getwindowgeometry "\$wid" > "$work/geom"
import -window root -crop 640x480+0+0 "$out/tevlegend-shot.png"
# Ended the way a session ends it: SDL turns SIGTERM into its quit event,
# the same close the game handles for its window. (xdotool's windowclose
# destroys the window under SDL's feet, which X reports as an error.)
kill -TERM \$pid
for i in \$(seq 1 50); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
if kill -0 \$pid 2>/dev/null; then kill -9 \$pid; echo "did not end"; exit 1; fi
wait \$pid
echo "exit \$?" > "$work/exit"
INNER
timeout 90 xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/run.sh" || { echo "FAIL: run"; cat "$work/game.out" 2>/dev/null; exit 1; }
cat "$work/geom"
grep -q 'Position: 0,0' "$work/geom" || { echo "FAIL: window not at 0,0"; exit 1; }
grep -q 'Geometry: 640x480' "$work/geom" || { echo "FAIL: window not 640x480"; exit 1; }
[ -s "$out/tevlegend-shot.png" ] || { echo "FAIL: no screenshot"; exit 1; }
grep -q 'exit 0' "$work/exit" || { echo "FAIL: game did not end with 0: $(cat $work/exit)"; cat "$work/game.out"; exit 1; }
echo "ok: window 640x480 at 0,0, screenshot taken, orderly exit"
