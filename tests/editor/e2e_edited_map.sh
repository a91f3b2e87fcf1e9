#!/usr/bin/env bash
# The real tilesmith under Xvfb, driven by X key and mouse events only, on a
# copy of the demo folder.
# - An edited map is not thrown away unasked: Ctrl+D opens the demo map,
#   Delete clears it, Ctrl+D (beside Ctrl+S) asks, and Enter, the default
#   answer, keeps the cleared map, which Ctrl+S then saves. Saved, the map is
#   replaced by the next Ctrl+D without a question.
# - "另存地图" with newsmall typed and Enter writes Map/newsmall.jmap, the
#   name the game opens; other.txt is written as typed.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool
work_on_copy "$DEMO"
maps="$work/game/Map"
cp "$maps/demo.jmap" "$work/demo-before"

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
start_editor "$T" "$work/game" "$work/editor.out"
main=\$wid
say() { echo "\$1" >> "$work/results"; }
# The editor's message boxes carry the program's name as their title.
box='^tilesmith\$'
xdotool key --window "\$main" ctrl+d
sleep 1.5
[ -z "\$(visible "\$box")" ] && say "ok Ctrl+D with no map open asks nothing" || say "FAIL a question at the first Ctrl+D"
xdotool key --window "\$main" Delete
sleep 0.5
xdotool key --window "\$main" ctrl+d
if q=\$(wait_for "\$box"); then
  say "ok Ctrl+D on the cleared map asks"
  xdotool windowfocus --sync "\$q" 2>/dev/null
  xdotool key Return 2>/dev/null
  gone "\$box" || say "FAIL the question stayed after Enter"
else
  say "FAIL Ctrl+D on the cleared map asked nothing"
fi
sleep 1
xdotool key --window "\$main" ctrl+s
sleep 1
cp "$maps/demo.jmap" "$work/demo-saved"
# Saved: the next Ctrl+D reopens the map at once.
xdotool key --window "\$main" ctrl+d
sleep 1.5
[ -z "\$(visible "\$box")" ] && say "ok a saved map is replaced without a question" || {
  say "FAIL a question on a saved map"
  xdotool key Escape
}

# Save as: "文件" at the left of the menu bar, its third item "另存地图".
save_as() {
  click_in "\$main" 18 10
  xdotool key Down Down Down Return 2>/dev/null
  local d
  d=\$(wait_for '^另存地图\$') || { say "FAIL no save dialog for \$1"; return; }
  sleep 0.5
  xdotool type --delay 40 "\$1" 2>/dev/null
  xdotool key Return 2>/dev/null
  if q=\$(wait_for "\$box"); then
    xdotool windowfocus --sync "\$q" 2>/dev/null
    xdotool key Return 2>/dev/null
    gone "\$box" || say "FAIL the saved-as message stayed"
  else
    say "FAIL no saved-as message for \$1"
  fi
}
save_as newsmall
save_as other.txt
kill -0 \$pid 2>/dev/null && say "ok the editor still runs"
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER
run_in_x 100
check "Ctrl+S after the kept question saved the cleared map" \
  '! cmp -s "$work/demo-before" "$work/demo-saved" && sed -n 2p "$work/demo-saved" | grep -q "^0,0,0,0,0,-1,N"'
check "newsmall was saved as Map/newsmall.jmap" 'cmp -s "$work/demo-saved" "$maps/newsmall.jmap"'
check "no Map/newsmall without the suffix" '[ ! -e "$maps/newsmall" ]'
check "a name with a suffix is kept (other.txt)" 'cmp -s "$work/demo-saved" "$maps/other.txt" && [ ! -e "$maps/other.txt.jmap" ]'
[ $fails -eq 0 ] || { ls "$maps"; echo "--- editor output"; cat "$work/editor.out"; exit 1; }
echo "ok: an edited map is kept by Enter, and save-as adds .jmap"
