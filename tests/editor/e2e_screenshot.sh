#!/usr/bin/env bash
# The real tilesmith under Xvfb, started for a copy of the demo game folder
# as tools/edit.sh starts it: Ctrl+D opens the remembered demo map and a
# screenshot shows it.
# The menu "设置" > "查看缩略图(S)", reached with the keyboard, shows the
# whole-map thumbnail over the screen (a second screenshot); S closes it.
# Closing the window asks first (the map is unsaved): No keeps the editor
# running, Yes ends the process, which must then be gone.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool import compare python3
work_on_copy "$DEMO"
out=${TEV_SHOT_DIR:-$work}
mkdir -p "$out"

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
# On the X server that xvfb-run started, whatever platform the caller's
# environment names.
start_editor "$T" "$work/game" "$work/editor.out"
import -window root "$work/before.png"
xdotool key --window "\$wid" ctrl+d
sleep 1.5
import -window root "$out/tilesmith-shot.png"

# Alt opens the menu bar; "设置" is the fourth menu, the thumbnail its
# second item.
xdotool windowactivate --sync "\$wid" 2>/dev/null
xdotool key alt
sleep 0.3
xdotool key Right Right Right Down
sleep 0.3
xdotool key Down Return
thumb=\$(wait_for '^Form1\$') || { echo "FAIL: no thumbnail"; kill \$pid; exit 1; }
sleep 0.5
import -window root "$out/tilesmith-thumbnail.png"
xdotool getwindowgeometry "\$thumb" > "$work/thumb-geometry"
xdotool key --window "\$thumb" s
sleep 0.5
[ -z "\$(visible '^Form1\$')" ] || { echo "FAIL: S left the thumbnail open"; kill \$pid; exit 1; }

python3 "$HERE/x11_close.py" "\$wid"
box=\$(wait_for '^tilesmith\$') || { echo "FAIL: no close question"; kill \$pid; exit 1; }
xdotool key --window "\$box" n
sleep 1
kill -0 \$pid 2>/dev/null || { echo "FAIL: No ended the editor"; exit 1; }
[ -n "\$(visible '☆tilesmith★')" ] || { echo "FAIL: main window gone after No"; kill \$pid; exit 1; }

python3 "$HERE/x11_close.py" "\$wid"
box=\$(wait_for '^tilesmith\$') || { echo "FAIL: no close question the second time"; kill \$pid; exit 1; }
xdotool key --window "\$box" y
for i in \$(seq 1 50); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
if kill -0 \$pid 2>/dev/null; then kill -9 \$pid; echo "FAIL: the editor stayed running after Yes"; exit 1; fi
wait \$pid
echo "exit \$?" > "$work/exit"
INNER
timeout 90 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh" || { echo "FAIL: run"; cat "$work/editor.out"; exit 1; }
grep -q 'exit 0' "$work/exit" || { echo "FAIL: the editor ended with $(cat "$work/exit")"; cat "$work/editor.out"; exit 1; }
[ -s "$out/tilesmith-shot.png" ] || { echo "FAIL: no screenshot"; exit 1; }
[ -s "$out/tilesmith-thumbnail.png" ] || { echo "FAIL: no thumbnail screenshot"; exit 1; }
# The demo map (20×15 tiles) fills the 1024×768 screen.
grep -q 'Geometry: 1024x768' "$work/thumb-geometry" || { echo "FAIL: thumbnail $(cat "$work/thumb-geometry")"; exit 1; }
# The map must have appeared: most of a 640×480 area changed.
changed=$(compare -metric AE "$work/before.png" "$out/tilesmith-shot.png" null: 2>&1 | cut -d' ' -f1)
echo "changed pixels: $changed"
[ "${changed%.*}" -gt 200000 ] || { echo "FAIL: the map did not show"; exit 1; }
echo "ok: demo map opened, screenshots $out/tilesmith-shot.png and $out/tilesmith-thumbnail.png, close question answered, editor ended"
