#!/usr/bin/env bash
# The real tilesmith under Xvfb, driven by X key and mouse events only, on a
# copy of the demo folder, where a hand meets its text boxes and value lists.
# - Script editor: Ctrl+V in the script text while no program owns the X
#   clipboard (as after a start) leaves the editor running and the text as it
#   was; text the editor copied itself is pasted.
# - Role editor: a right press on another value row only hides the open
#   box; the selection stays. A value typed into the box, then the
#   definition of that row deleted through a double click on its name:
#   Enter and "插入" write nothing into the row that moved up.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool import compare
work_on_copy "$DEMO"
ed="$work/game/editor"

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
start_editor "$T" "$work/game" "$work/editor.out"
main=\$wid
say() { echo "\$1" >> "$work/results"; }
# Pixels that differ between two shots (the highlight's shade changes a
# little with the focus).
differ() { compare -fuzz 10% -metric AE "\$1" "\$2" null: 2>&1 | cut -d' ' -f1 | cut -d. -f1; }
alive() { kill -0 \$pid 2>/dev/null; }
xdotool key --window "\$main" ctrl+d
sleep 1.5
se=\$(key_opens "\$main" space '^脚本编辑器\$') || { say "FAIL no script editor"; kill \$pid; exit 1; }
xdotool windowactivate --sync "\$se" 2>/dev/null

# The script list's first row loads afu.jsr; its text lies at (22, 100).
click_in "\$se" 706 118
click_in "\$se" 300 300
xdotool key ctrl+a
sleep 0.3
import -window "\$se" -crop 620x440+26+104 "$work/text-before.png"
xdotool key ctrl+v
sleep 1
if ! alive; then
  say "FAIL the editor ended at Ctrl+V with no clipboard owner"
  exit 0
fi
import -window "\$se" -crop 620x440+26+104 "$work/text-after.png"
changed=\$(differ "$work/text-before.png" "$work/text-after.png")
[ "\$changed" -lt 40 ] && say "ok Ctrl+V with no clipboard owner: the text unchanged (\$changed pixels)" \
  || say "FAIL Ctrl+V with no clipboard owner changed \$changed pixels of the text"
# Copied by the editor, the text is there to paste: at the end, it doubles.
xdotool key ctrl+c ctrl+End ctrl+v
sleep 0.5
import -window "\$se" -crop 620x440+26+104 "$work/text-pasted.png"
changed=\$(differ "$work/text-after.png" "$work/text-pasted.png")
[ "\$changed" -gt 300 ] && say "ok copied text is pasted (\$changed pixels)" || say "FAIL nothing pasted after Ctrl+C"
xdotool key ctrl+z
sleep 0.3

# F4: the role editor; its value list lies at (205, 70), row 0 is its
# first 9 pixels. A click opens the box at the pressed point; a right press
# left of the box and lower, on another row, hides it, and the strip left of
# where the box stood shows the same highlight as before.
role=\$(key_opens "\$se" F4 '^AddRole\$') || { say "FAIL no role editor"; kill \$pid; exit 1; }
xdotool windowactivate --sync "\$role" 2>/dev/null
sleep 0.5
click_in "\$role" 260 79
import -window "\$role" -crop 36x140+208+72 "$work/strip-before.png"
click_in "\$role" 215 139 1 3
import -window "\$role" -crop 36x140+208+72 "$work/strip-after.png"
changed=\$(differ "$work/strip-before.png" "$work/strip-after.png")
[ "\$changed" -lt 10 ] && say "ok a right press selects no row (\$changed pixels)" \
  || say "FAIL a right press changed the selection (\$changed pixels)"

# The box opened on row 0 ("种类"), 7 typed; the definition of row 0 deleted
# through a double click on its name; a click where the box stood, Enter,
# "插入".
click_in "\$role" 260 79
xdotool type --delay 50 7 2>/dev/null
click_in "\$role" 60 79 2
dlg=\$(wait_for '^修改属性\$') || say "FAIL no dialog in modify mode"
[ -n "\$dlg" ] && click_in "\$dlg" 310 64
gone '^修改属性\$' || say "FAIL the dialog stayed after 删除"
# Were the box still open, the click would land in it and Enter would
# store its 7 into the row now there.
click_in "\$role" 300 82
xdotool key Return
sleep 0.3
click_in "\$role" 465 238
wait_for '^脚本编辑器\$' > /dev/null || say "FAIL no script editor after 插入"
alive && say "ok the editor still runs"
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER
run_in_x 100
roles=$(iconv -f GBK -t UTF-8 "$ed/RoleAttribList.txt")
check "the deleted definition is gone (id)" '! grep -q "\"id\"" <<<"$roles"'
check "the row that moved up keeps its value (name)" 'head -1 <<<"$roles" | grep -q "\"主角\",\"name\""'
check "the typed value went nowhere" '! grep -q "\"7\"" <<<"$roles"'
[ $fails -eq 0 ] || { echo "--- editor output"; cat "$work/editor.out"; exit 1; }
echo "ok: text boxes and value lists driven by X events"
