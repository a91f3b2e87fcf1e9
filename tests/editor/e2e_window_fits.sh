#!/usr/bin/env bash
# The real tilesmith under Xvfb (a 1280x1024 screen), driven by X key and
# mouse events only, on copies of the demo folder at a path of about 100
# characters, where the script editor opens with long messages:
# - the backup folders missing: the message names both at their long paths;
# - the backup folders linked out of the game folder, with many more
#   scripts: no script can be backed up.
# In both every window of the editor stays on the screen (the script editor
# as it opens, with the whole message in the status line's tooltip, with a
# question naming a long path, and the box listing a thousand problems of a
# magic list), and the script editor's tabs, lists and buttons are where a
# hand reaches them: a right press in the event list of the tab 事件列表 adds
# an event to "eventtable.txt", a double click on the first map of the tab
# 地图列表 hands it to the text editor, and 删除脚本文件 asks about the
# script clicked in the tab 脚本列表.
set -u
T=${TILESMITH:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool

work_folder
# The stand-in text editor records what it was asked to open.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$@" >> "%s/notepad.args"\n' "$work" > "$work/bin/notepad"
chmod +x "$work/bin/notepad"

# Two game folders, each at a path of about 100 characters.
long=a-game-folder-whose-path-is-rather-long/copied-here-for-the-test-of-long-messages
missing="$work/missing/$long"
linked="$work/linked/$long"
for g in "$missing" "$linked"; do
  mkdir -p "$(dirname "$g")"
  cp -r "$DEMO" "$g"
  rm -rf "$g/Script/BScript" "$g/Map/BMap"
done
mkdir -p "$work/outside/BScript" "$work/outside/BMap"
ln -s "$work/outside/BScript" "$linked/Script/BScript"
ln -s "$work/outside/BMap" "$linked/Map/BMap"
for i in $(seq 1 80); do cp "$linked/Script/afu.jsr" "$linked/Script/a_script_with_a_longer_name_$i.jsr"; done
long_value=$(head -c 3000 /dev/zero | tr '\0' 'y')
for g in "$missing" "$linked"; do
  for i in $(seq 0 39); do
    printf 'AddToMagicList(,magic%s,%s,m,%s,' $i $i "$long_value"
    for v in $(seq 1 27); do printf 'x,'; done
    printf ');\r\n'
  done > "$g/Script/MagicKindList.jsr"
  printf 'EOF' >> "$g/Script/MagicKindList.jsr"
done

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
export PATH="$work/bin:\$PATH"
say() { echo "\$1" >> "$work/results"; }
# Every shown window of the editor lies on the 1280x1024 screen.
fits() {
  local w X Y WIDTH HEIGHT SCREEN WINDOW bad=0
  for w in \$(xdotool search --onlyvisible --pid \$pid 2>/dev/null); do
    eval "\$(xdotool getwindowgeometry --shell \$w)"
    if [ \$X -lt 0 ] || [ \$Y -lt 0 ] || [ \$((X + WIDTH)) -gt 1280 ] || [ \$((Y + HEIGHT)) -gt 1024 ]; then
      say "FAIL \$1: \$(xdotool getwindowname \$w) is \${WIDTH}x\${HEIGHT} at \$X,\$Y"
      bad=1
    fi
  done
  [ \$bad -eq 0 ] && say "ok \$1: every window fits the screen"
}
game=\$1
start_editor "$T" "\$game" "$work/editor.out"
main=\$wid
fits "main window"
se=\$(key_opens "\$main" space '^脚本编辑器\$') || { say "FAIL no script editor"; kill \$pid; exit 1; }
sleep 0.5
fits "script editor opened"
# The status line with the pointer on it: its tooltip shows.
xdotool mousemove --window "\$se" 450 34
sleep 2
fits "status line's tooltip"

# The tabs stand at the top of the right-hand quarter (at the window's own
# size of 900x620): 脚本列表 at x 695, 事件列表 at 780, 地图列表 at 855; the
# first row of a list at y 118.
xdotool mousemove --window "\$se" 300 300
gone '^tilesmith\$' || say "FAIL the tooltip stayed"
sleep 1
cp "\$game/Script/eventtable.txt" "$work/eventtable.before"
click_in "\$se" 780 62
click_in "\$se" 760 450 1 3
cmp -s "$work/eventtable.before" "\$game/Script/eventtable.txt" \
  && say "FAIL a right press in the list of the tab 事件列表 added no event" \
  || say "ok tab 事件列表 reached: a right press added an event"
rm -f "$work/notepad.args"
click_in "\$se" 855 62
click_in "\$se" 710 118 2
sleep 0.5
grep -q '\.jmap' "$work/notepad.args" 2>/dev/null \
  && say "ok tab 地图列表 reached: a double click opened \$(basename "\$(cat "$work/notepad.args")")" \
  || say "FAIL a double click in the list of the tab 地图列表 opened no map"
click_in "\$se" 695 62
click_in "\$se" 710 118
# 删除脚本文件: the question names the script's long path.
click_in "\$se" 613 587
if box=\$(wait_for '^tilesmith\$'); then
  fits "question about a long path"
  xdotool key Escape
  gone '^tilesmith\$' || say "FAIL the question stayed"
else
  say "FAIL 删除脚本文件 asked nothing"
fi
# F3: the magic editor reads a magic list with a problem in every value,
# one of them thousands of characters long, and says so in a box.
if box=\$(key_opens "\$se" F3 '^tilesmith\$'); then
  fits "the magic list's problems"
  xdotool key Return
  gone '^tilesmith\$' || say "FAIL the box of problems stayed"
else
  say "FAIL no box about the magic list's problems"
fi
magic=\$(wait_for '^魔法编辑器\$') && fits "magic editor" || say "FAIL no magic editor"
kill \$pid
wait \$pid 2>/dev/null
exit 0
INNER
for g in "$missing" "$linked"; do
  echo "--- ${g#$work/}" | tee -a "$work/results" > /dev/null
  timeout 60 xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' bash "$work/run.sh" "$g" || fail "run for $g"
  check "the script clicked is still there" '[ -f "$g/Script/afu.jsr" ]'
done
cat "$work/results" 2>/dev/null
grep -q FAIL "$work/results" 2>/dev/null && fails=$((fails + 1))
[ $fails -eq 0 ] || { echo "--- editor output"; cat "$work/editor.out"; exit 1; }
echo "ok: every window of the editor fits the screen"
