#!/usr/bin/env bash
# A copy of a game folder is a game folder of its own. The real tilesmith
# under Xvfb, started for a folder as tools/edit.sh starts it (from another
# working folder), opens the folder's remembered map with Ctrl+D, Delete
# clears it and Ctrl+S saves it; only that folder's map may change.
#  1. A copy of the demo folder, as generated: the demo folder must be byte
#     for byte as it was.
#  2. A folder whose map was opened through the open dialog (its full path
#     typed there, Ctrl+A), then copied: the first folder must be byte for
#     byte as it was.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool python3
work_on_copy "$DEMO"
copy=$work/game
fingerprint() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }

# In a fresh X session: the editor started for folder $1 (its output in
# $work/$2.out) does what the lines on standard input say with its main
# window as $wid, and is ended.
in_editor() {
  {
    echo "set -u; . '$HERE/../e2e/common.sh'; cd /"
    echo "start_editor '$T' '$1' '$work/$2.out'"
    cat
    echo 'kill $pid; wait $pid 2>/dev/null; exit 0'
  } > "$work/$2.sh"
  timeout 90 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/$2.sh" || { echo "FAIL: $2 run"; cat "$work/$2.out"; exit 1; }
}
# Ctrl+D, Delete, Ctrl+S in the editor started for folder $1.
edit_recent_map() {
  in_editor "$1" "$2" <<'KEYS'
xdotool key --window "$wid" ctrl+d
sleep 1.5
xdotool key --window "$wid" Delete
sleep 0.5
xdotool key --window "$wid" ctrl+s
sleep 1.5
KEYS
}

fingerprint "$DEMO" > "$work/demo-before"
cp "$copy/Map/demo.jmap" "$work/map-before"
edit_recent_map "$copy" edit
check "the editor reported nothing" '[ ! -s "$work/edit.out" ] || ! grep -qi "error\|错误\|失败" "$work/edit.out"'
check "the copy's map was saved changed" '! cmp -s "$work/map-before" "$copy/Map/demo.jmap"'
check "the copy still remembers its map by a relative name" 'grep -q "\"Map.demo.jmap\"" "$copy/editor/RecentMap.txt"'
fingerprint "$DEMO" > "$work/demo-after"
check "the demo folder is unchanged" 'cmp -s "$work/demo-before" "$work/demo-after"'
[ "$fails" -eq 0 ] || { diff "$work/demo-before" "$work/demo-after" | head; cat "$work/edit.out"; exit 1; }

first=$work/first
second=$work/second
cp -r "$DEMO" "$first"
in_editor "$first" open <<KEYS
xdotool key --window "\$wid" ctrl+a
wait_for '^打开地图\$' > /dev/null || echo "FAIL: no open dialog"
sleep 0.5
xdotool type --delay 20 "$first/Map/demo.jmap"
xdotool key Return
sleep 2
KEYS
check "the open dialog opened the map and backed it up" 'cmp -s "$first/Map/demo.jmap" "$first/Map/BMap/demo.jmap"'
check "the map opened there is remembered by its name in the folder" 'grep -q "^\"Map.demo.jmap\"" "$first/editor/RecentMap.txt"'
cp -r "$first" "$second"
fingerprint "$first" > "$work/first-before"
cp "$second/Map/demo.jmap" "$work/map-before"
edit_recent_map "$second" edit2
check "the second folder's map was saved changed" '! cmp -s "$work/map-before" "$second/Map/demo.jmap"'
fingerprint "$first" > "$work/first-after"
check "the folder it was copied from is unchanged" 'cmp -s "$work/first-before" "$work/first-after"'
[ "$fails" -eq 0 ] || { cat "$first/editor/RecentMap.txt"; diff "$work/first-before" "$work/first-after" | head; cat "$work/open.out" "$work/edit2.out"; exit 1; }
