#!/usr/bin/env bash
# A game folder whose map was opened through the open dialog, then copied,
# is still a game folder of its own: the real tilesmith under Xvfb opens
# the first folder's map by typing its full path into the open dialog
# (Ctrl+A); the folder is copied; the editor started for the copy reopens
# the remembered map with Ctrl+D, Delete clears a cell and Ctrl+S saves. The
# copy's map must have changed and the first folder must be byte for byte
# as it was.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool python3
work_on_copy "$DEMO"
first=$work/game
copy=$work/copy
fingerprint() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }

cat > "$work/open.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
cd /
start_editor "$T" "$first" "$work/open.out"
xdotool key --window "\$wid" ctrl+a
dlg=\$(wait_for '^打开地图\$') || { echo "FAIL: no open dialog"; kill \$pid; exit 1; }
sleep 0.5
xdotool type --delay 20 "$first/Map/demo.jmap"
xdotool key Return
sleep 2
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER

cat > "$work/edit.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
cd /
start_editor "$T" "$copy" "$work/edit.out"
xdotool key --window "\$wid" ctrl+d
sleep 1.5
xdotool key --window "\$wid" Delete
sleep 0.5
xdotool key --window "\$wid" ctrl+s
sleep 1.5
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER

timeout 90 xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/open.sh" || { echo "FAIL: open run"; cat "$work/open.out"; exit 1; }
check "the open dialog backed the map up" 'cmp -s "$first/Map/demo.jmap" "$first/Map/BMap/demo.jmap"'
echo "remembered: $(cat "$first/editor/RecentMap.txt")"
check "the map is remembered by its name in the folder" 'grep -q "^\"Map.demo.jmap\"" "$first/editor/RecentMap.txt"'

cp -r "$first" "$copy"
fingerprint "$first" > "$work/first-before"
cp "$copy/Map/demo.jmap" "$work/map-before"
timeout 90 xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/edit.sh" || { echo "FAIL: edit run"; cat "$work/edit.out"; exit 1; }
check "the copy's map was saved changed" '! cmp -s "$work/map-before" "$copy/Map/demo.jmap"'
fingerprint "$first" > "$work/first-after"
check "the first folder is unchanged" 'cmp -s "$work/first-before" "$work/first-after"'
[ "$fails" -eq 0 ] || { diff "$work/first-before" "$work/first-after" | head; cat "$work/open.out" "$work/edit.out"; exit 1; }
