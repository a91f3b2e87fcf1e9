#!/usr/bin/env bash
# A copy of the demo game folder is a game folder of its own: the real
# tilesmith under Xvfb, started for the copy as tools/edit.sh starts it (from
# another working folder), opens the copy's remembered map with Ctrl+D,
# Delete clears it and Ctrl+S saves it. The copy's map must have changed and
# the demo folder must be byte for byte as it was.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool python3
work_on_copy "$DEMO"
copy=$work/game
fingerprint() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
fingerprint "$DEMO" > "$work/demo-before"
cp "$copy/Map/demo.jmap" "$work/map-before"

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
cd /
start_editor "$T" "$copy" "$work/editor.out"
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
timeout 90 xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/run.sh" || { echo "FAIL: run"; cat "$work/editor.out"; exit 1; }
check "the editor reported nothing" '[ ! -s "$work/editor.out" ] || ! grep -qi "error\|错误\|失败" "$work/editor.out"'
check "the copy's map was saved changed" '! cmp -s "$work/map-before" "$copy/Map/demo.jmap"'
check "the copy still remembers its map by a relative name" 'grep -q "\"Map.demo.jmap\"" "$copy/editor/RecentMap.txt"'
fingerprint "$DEMO" > "$work/demo-after"
check "the demo folder is unchanged" 'cmp -s "$work/demo-before" "$work/demo-after"'
[ "$fails" -eq 0 ] || { diff "$work/demo-before" "$work/demo-after" | head; cat "$work/editor.out"; exit 1; }
