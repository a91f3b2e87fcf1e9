#!/usr/bin/env bash
# The real tilesmith under Xvfb, driven by X key and mouse events only, on a
# copy of the demo folder: the tool windows take the mouse where a hand
# clicks.
# - NPC editor: a click on a value row selects it and opens the in-place box
#   there; a double click on a name row opens the definition dialog in modify
#   mode, whose delete removes that row from "NpcAttribList.txt"; a row
#   chosen with the arrow keys is the one the dialog's delete removes.
# - Role editor: a click on a value, typing and Enter, "插入": the role list
#   file holds the typed value.
# - Magic editor: shown, no kind is selected ("删除数据" asks nothing); a
#   click on a kind selects it ("删除数据" then asks).
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
# The editor started for the copied game folder, as tools/edit.sh starts it.
start_editor "$T" "$work/game" "$work/editor.out"
main=\$wid
say() { echo "\$1" >> "$work/results"; }
xdotool key --window "\$main" ctrl+d
sleep 1.5
se=\$(key_opens "\$main" space '^脚本编辑器\$') || { say "FAIL no script editor"; kill \$pid; exit 1; }
npc=\$(key_opens "\$se" F1 '添加活动NPC') || { say "FAIL no NPC editor"; kill \$pid; exit 1; }
xdotool windowactivate --sync "\$npc" 2>/dev/null
sleep 0.5

# The value list lies at (205, 266), the name list at (15, 266): row 0 is
# their first 9 pixels whatever the font.
import -window "\$npc" -crop 210x40+205+266 "$work/values-before.png"
click_in "\$npc" 245 275
import -window "\$npc" -crop 210x40+205+266 "$work/values-after.png"
changed=\$(compare -metric AE "$work/values-before.png" "$work/values-after.png" null: 2>&1 | cut -d' ' -f1)
[ "\${changed%.*}" -gt 300 ] && say "ok value row selected, box open (\$changed pixels)" || say "FAIL a click on a value row changed \$changed pixels"
xdotool type --delay 50 Afu 2>/dev/null
xdotool key Return
sleep 0.3

click_in "\$npc" 60 275 2
dlg=\$(wait_for '^修改属性\$') && say "ok double click: the dialog in modify mode" || say "FAIL no dialog in modify mode"
[ -n "\$dlg" ] && click_in "\$dlg" 310 64
gone '^修改属性\$' || say "FAIL the dialog stayed after 删除"

# Row 0 (now "名字") clicked, Down: the keys choose row 1 ("图像帧"); the
# menu 文件 > 添加属性 opens the dialog, whose delete takes the chosen row.
xdotool windowactivate --sync "\$npc" 2>/dev/null
click_in "\$npc" 60 275
xdotool key Down
sleep 0.3
xdotool key alt
sleep 0.3
xdotool key Down Return
dlg=\$(wait_for '^添加属性\$') || say "FAIL no dialog from the menu"
[ -n "\$dlg" ] && click_in "\$dlg" 310 64
gone '^添加属性\$' || say "FAIL the add dialog stayed after 删除"

# 返回, F4: the role editor. Its value list lies at (205, 70).
xdotool windowactivate --sync "\$npc" 2>/dev/null
click_in "\$npc" 383 151
se=\$(wait_for '^脚本编辑器\$') || say "FAIL no script editor after 返回"
role=\$(key_opens "\$se" F4 '^AddRole\$') || { say "FAIL no role editor"; kill \$pid; exit 1; }
xdotool windowactivate --sync "\$role" 2>/dev/null
sleep 0.5
click_in "\$role" 250 79
xdotool type --delay 50 5 2>/dev/null
xdotool key Return
sleep 0.3
click_in "\$role" 465 238
se=\$(wait_for '^脚本编辑器\$') || say "FAIL no script editor after 插入"

# F3: the magic editor. Its buttons stand 548 px below the menu bar,
# "删除数据" at x 326; its list's first row at (16, 26) below it.
magic=\$(key_opens "\$se" F3 '^魔法编辑器\$') || { say "FAIL no magic editor"; kill \$pid; exit 1; }
xdotool windowactivate --sync "\$magic" 2>/dev/null
sleep 0.8
click_in "\$magic" 368 586
if box=\$(wait_for '^tilesmith\$'); then
  say "FAIL 删除数据 asked: a kind was selected when the editor was shown"
  xdotool key --window "\$box" n
else
  say "ok the magic editor shown with no kind selected"
fi
click_in "\$magic" 60 60
click_in "\$magic" 368 586
if box=\$(wait_for '^tilesmith\$'); then
  say "ok a click on a kind selects it"
  xdotool key --window "\$box" n
else
  say "FAIL a click on the first kind selected nothing"
fi
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER
run_in_x 100
npcs=$(iconv -f GBK -t UTF-8 "$ed/NpcAttribList.txt")
check "double click and delete took the row clicked (id)" '! grep -q "\"id\"" <<<"$npcs"'
check "the delete took the row chosen with the keys (curpicindex)" '! grep -q "\"curpicindex\"" <<<"$npcs"'
check "the other rows stay" 'grep -q "\"name\"" <<<"$npcs" && grep -q "\"lx\"" <<<"$npcs"'
check "the value typed in the role editor is in its list file" \
  'head -1 "$ed/RoleAttribList.txt" | grep -q "\"5\",\"id\""'
[ $fails -eq 0 ] || { echo "--- editor output"; cat "$work/editor.out"; exit 1; }
echo "ok: tool windows driven by X events"
