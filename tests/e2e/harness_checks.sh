#!/usr/bin/env bash
# Whole runs of tevlegend-headless on a copy of the demo folder, checked
# through its log. Every check can fail.
set -u
H=${TEVLEGEND_HEADLESS:?}
DEMO=${TEV_DEMO_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; fails=$((fails + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }

fresh() { rm -rf "$work/game"; cp -r "$DEMO" "$work/game"; }
crlf() { printf '%s\r\n' "$@"; }

# 1. Logo to title, then an orderly end.
fresh
timeout 60 "$H" --root "$work/game" --passes 700 --ms-per-pass 10 --log "$work/l1" \
  --dump 340 --dump-dir "$work/d1" >/dev/null 2>&1
rc=$?
check "logo run exits 0" "[ $rc -eq 0 ]"
check "logo sound once" "[ \$(grep -c 'sound play logo' $work/l1) -eq 1 ]"
check "one state 0->1" "[ \$(grep -c 'state 0->1' $work/l1) -eq 1 ]"
# The logo's rule at 10 ms a pass: its steps at passes 1, 17, 33, the turn at
# 49, back at 50, 66, 82, the stop at 98, the end timer armed at 99 and
# firing 3000 ms later.
check "logo ends at pass 399" "grep -q '^P399 .*state 0->1' $work/l1"
# Frame 340 (pass 338, after the two loading notices) is fully faded in.
lit() { python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
magic, size, depth, px = data.split(b"\n", 3)
w = int(size.split()[0])
x0, y0, x1, y1 = map(int, sys.argv[2].split(","))
lit = sum(1 for y in range(y0, y1) for x in range(x0, x1) if px[(y * w + x) * 3:(y * w + x) * 3 + 3] != b"\0\0\0")
sys.exit(0 if lit > 0 else 1)
PY
}
check "logo visible at full fade" "lit $work/d1/frame-340.ppm 192,42,448,298"
check "nothing lit beside the logo" "! lit $work/d1/frame-340.ppm 0,0,190,480"
check "title opened once" "[ \$(grep -c 'script open title' $work/l1) -eq 1 ]"
first_read=$(grep -n 'input read' "$work/l1" | head -1 | cut -d: -f1)
state_line=$(grep -n 'state 0->1' "$work/l1" | head -1 | cut -d: -f1)
check "no input read during the logo" "[ -n '$first_read' ] && [ -n '$state_line' ] && [ $first_read -gt $state_line ]"
# One frame a pass, after the two loading notices shown at start-up.
check "702 presents" "[ \$(grep -c ' present ' $work/l1) -eq 702 ]"

# 2. Deactivation and reactivation by the cursor.
fresh
printf '30 focus lost\n40 syscursor 700 10\n50 focus gained\n60 syscursor 100 200\n' > "$work/in2"
timeout 60 "$H" --root "$work/game" --passes 80 --input "$work/in2" --log "$work/l2" >/dev/null 2>&1
check "deactivation run exits 0" "[ $? -eq 0 ]"
# No music plays during the logo, so there is none to pause or resume.
check "the desktop trace at pass 30" "grep -q '^P30 .*debug 跳到桌面 ' $work/l2"
check "no music to pause" "! grep -q 'midi pause' $work/l2"
check "no present while away" "! grep -E '^P(3[1-9]|4[0-9]|5[0-9]) .* present ' $work/l2 | grep -q ."
check "resume at pass 60" "grep -q '^P60 .*debug 跳入游戏 ' $work/l2 && grep -q '^P60 .*input reinit' $work/l2"
check "cursor placed 32 up and left" "grep -q '^P60 .*cursor 68 168' $work/l2"

# 3. The frame limiter never notes the same tick twice.
fresh
crlf "0!" "1!" "1!" "1!" "0!" > "$work/game/config.jcf"
timeout 60 "$H" --root "$work/game" --passes 200 --ms-per-pass 0 --log "$work/l3" >/dev/null 2>&1
check "limiter run exits 0" "[ $? -eq 0 ]"
# The loading notices come before the loop; the frames follow them.
n=$(grep ' present ' "$work/l3" | tail -n +3 | awk '{print $2}' | wc -l)
d=$(grep ' present ' "$work/l3" | tail -n +3 | awk '{print $2}' | sort | uniq -d | wc -l)
check "limiter presents happened" "[ $n -eq 200 ]"
check "no repeated tick with the limiter" "[ $d -eq 0 ]"

# 4. Close ends through the orderly shutdown.
fresh
printf '100 close\n' > "$work/in4"
timeout 60 "$H" --root "$work/game" --passes 500 --input "$work/in4" --log "$work/l4" >/dev/null 2>&1
check "close exits 0" "[ $? -eq 0 ]"
last_present=$(grep -n ' present ' "$work/l4" | tail -1 | cut -d: -f1)
release=$(grep -n 'sound release-all' "$work/l4" | tail -1 | cut -d: -f1)
check "release-all after the last present" "[ -n '$release' ] && [ $release -gt $last_present ]"
check "closed at pass 100" "[ \$(grep -c ' present ' $work/l4) -le 102 ]"

# 5. A 32-bit desktop: the notice, then the restore at exit.
fresh
timeout 60 "$H" --root "$work/game" --passes 5 --desktop-depth 32 --log "$work/l5" >/dev/null 2>&1
check "depth run exits 0" "[ $? -eq 0 ]"
check "one depth notice" "[ \$(grep -c 'msgbox caption=\"设置\" text=\"您现在的显示模式为非16位色' $work/l5) -eq 1 ]"
check "restore is the last display line" "[ \"\$(grep 'display depth' $work/l5 | tail -1 | cut -d' ' -f3-)\" = 'display depth restore 32' ]"
timeout 60 "$H" --root "$work/game" --passes 5 --desktop-depth 32 --depth-switch-fails --log "$work/l6" >/dev/null 2>&1
check "failed switch exits 0" "[ $? -eq 0 ]"
check "failed switch: two boxes" "[ \$(grep -c msgbox $work/l6) -eq 2 ]"
check "failed switch: no frame" "! grep -q ' present ' $work/l6"
timeout 60 "$H" --root "$work/game" --passes 5 --desktop-depth 16 --log "$work/l7" >/dev/null 2>&1
timeout 60 "$H" --root "$work/game" --passes 3 --desktop-depth 32 --depth-restore-fails --log "$work/l7r" >/dev/null 2>&1
check "failed restore is reported" "grep -q 'msgbox caption=\"\" text=\"恢复显示模式到您原来的设置 失败！请手动恢复.\"' $work/l7r"
check "16-bit desktop: no box, no restore" "! grep -q msgbox $work/l7 && ! grep -q 'depth restore' $work/l7"

# 6. No window: a clear message and a failure exit.
timeout 60 "$H" --root "$work/game" --passes 5 --window-fails --log "$work/l8" > "$work/o8" 2>&1
rc=$?
check "no window exits non-zero" "[ $rc -ne 0 ]"
check "no window says so" "grep -q 'window could not be created' $work/o8"

# 7. The input's save record, written by the harness at the end of a run.
fresh
timeout 60 "$H" --root "$work/game" --passes 3 --save-input "$work/input.txt" >/dev/null 2>&1
check "save-input run exits 0" "[ $? -eq 0 ]"
check "input record has 268 lines" "[ \$(wc -l < $work/input.txt) -eq 268 ]"
check "no temporary file left" "[ ! -e $work/input.txt.tmp ]"

# 8. Missing pieces: no audio device, a missing picture, input that can't
# be set up. Each is said once, and the game runs on.
fresh
timeout 60 "$H" --root "$work/game" --passes 450 --ms-per-pass 10 --no-audio-device --log "$work/l10" >/dev/null 2>&1
check "no audio device exits 0" "[ $? -eq 0 ]"
check "no audio device: one box" "[ \"\$(grep -c msgbox $work/l10)\" = 1 ] && grep -q 'text=\"建立DXSOUND对象失败！\"' $work/l10"
check "no audio device: the logo still ends" "grep -q 'state 0->1' $work/l10"
rm "$work/game/Resource/bmp/logowords.bmp"
timeout 60 "$H" --root "$work/game" --passes 450 --ms-per-pass 10 --log "$work/l11" >/dev/null 2>&1
check "missing picture exits 0" "[ $? -eq 0 ]"
check "missing picture: its two boxes" "[ \"\$(grep -c msgbox $work/l11)\" = 2 ] && grep -q 'text=\"Resource.bmp.logowords.bmp\"' $work/l11"
timeout 60 "$H" --root "$work/game" --passes 3 --input-fails format,cooperative --log "$work/l12" >/dev/null 2>&1
check "input set-up failures: four boxes" "[ \"\$(grep -c 'msgbox.*DINPUT' $work/l12)\" = 4 ]"

# 9. A missing game folder.
timeout 60 "$H" --root "$work/nowhere" --passes 5 > "$work/o9" 2>&1
rc=$?
check "missing folder exits 2" "[ $rc -eq 2 ]"
check "missing folder named" "grep -q 'does not exist' $work/o9"

# 8. Frame dumps and hashes are deterministic.
fresh
for k in a b; do
  timeout 60 "$H" --root "$work/game" --passes 12 --dump every:5 --dump-dir "$work/d$k" --hash --font box >/dev/null 2>&1
done
check "dumps written" "[ -s $work/da/frame-5.ppm ] && [ -s $work/da/frame-10.ppm ] && [ ! -e $work/da/frame-3.ppm ]"
check "ppm header" "head -c 15 $work/da/frame-5.ppm | grep -q 'P6'"
check "two hashes listed" "[ \$(wc -l < $work/da/hashes.txt) -eq 2 ]"
check "same run, same hashes" "cmp -s $work/da/hashes.txt $work/db/hashes.txt"

# 9. A broken input file is refused with its line.
printf '5 key NOSUCHKEY down\n' > "$work/bad.in"
timeout 60 "$H" --root "$work/game" --passes 5 --input "$work/bad.in" > "$work/o10" 2>&1
rc=$?
check "bad input file exits 2" "[ $rc -eq 2 ]"
check "bad input file names the line" "grep -q 'bad.in:1' $work/o10"

# 10. Scripts: --script runs to the end before the first pass, --open is
# stepped by the main loop, --dump-vars follows the variables, and the log
# traces every statement.
fresh
crlf 'int x = 1;' 'ReadAScriptFile("b")' 'x = x + 10;' 'static int r = x;' 'EOF' > "$work/game/Script/a.jsr"
crlf 'x = 5;' 'static int inb = 1;' 'EOF' > "$work/game/Script/b.jsr"
crlf 'static int s = 0;' 's = s + 1;' 's = s + 1;' 'EOF' > "$work/game/Script/对话.jsr"
timeout 60 "$H" --root "$work/game" --passes 6 --script a --open 对话 --dump-vars "$work/v8" --log "$work/l8s" >/dev/null 2>&1
check "script run exits 0" "[ $? -eq 0 ]"
check "run to the end before the first pass" "grep -q '^P0 static sint r 15$' $work/v8 && grep -q '^P0 static sint inb 1$' $work/v8"
seq=$(grep ' stmt a \| stmt b ' "$work/l8s" | cut -d' ' -f4- | tr '\n' '|')
check "statements of a and b in order" "[ '$seq' = 'a int|a ReadAScriptFile|b x = 5;|b static int|b EOF|a x = x + 10;|a static int|a EOF|' ]"
check "the opened script steps once a pass" "[ \"\$(grep ' stmt 对话 ' $work/l8s | cut -d' ' -f1 | tr '\n' ' ')\" = 'P1 P2 P3 P4 ' ]"
check "variables after pass 3" "grep -q '^P3 static sint s 2$' $work/v8"
check "the opened script ended" "grep -q '^P4 state running 0 script 对话' $work/v8"
timeout 60 "$H" --root "$work/game" --passes 2 --script nosuch --log "$work/l8m" >/dev/null 2>&1
check "missing script: exits 0" "[ $? -eq 0 ]"
check "missing script: reported with its path" "grep -q 'msgbox.*打开SCRIPT文件出错！' $work/l8m && grep -q 'msgbox.*nosuch.jsr' $work/l8m"
timeout 60 "$H" --root "$work/game" --passes 1 --dump-vars "$work/nowhere/v" > "$work/o8" 2>&1
check "unwritable dump: exit 2" "[ $? -eq 2 ] && grep -q 'variable dump' $work/o8"

# 11. An endless start-up script is cut off, named, and the game goes on.
fresh
crlf "0!" "3!" "0!" "1!" "0!" > "$work/game/config.jcf"
crlf 'static int n = 0;' 'while()' 'n = n + 1;' 'loop' 'EOF' > "$work/game/Script/gameinit.jsr"
timeout 200 "$H" --root "$work/game" --passes 3 --trace state,script --log "$work/l9" >/dev/null 2>&1
check "endless start-up exits 0" "[ $? -eq 0 ]"
check "the cap names gameinit" "grep -q 'msgbox.*gameinit' $work/l9"
check "the main loop ran" "grep -q '^P3 .* present ' $work/l9"

# 12. A title frame with lines a slip left unreadable (a kind opened with a
# typographic quote and closed with a plain one, a note with one quote):
# each is reported with its line, the title looks as it does without them,
# and a click on START starts the game.
fresh
crlf "0!" "1!" "0!" "1!" "0!" > "$work/game/config.jcf"
cp "$work/game/ui/title_frame.jui" "$work/title_frame.jui"
python3 - "$work/game/ui/title_frame.jui" <<'PY'
import sys
path = sys.argv[1]
lines = open(path, "rb").read().split(b"\r\n")
start = next(i for i, line in enumerate(lines) if b'"title_start"' in line)
lines.insert(start, '说明：下面是"开始按钮'.encode("gbk"))
bg = next(i for i, line in enumerate(lines) if b'"title_bg"' in line)
lines.insert(bg + 1, '“image",9,"title_glow","ui_title_bg",0,0,0,0,640,480,0,0,640,480,"False","True","NULL","NULL","NULL"'
             .encode("gbk"))
open(path, "wb").write(b"\r\n".join(lines))
PY
# The cursor starts at the middle of the screen, (320, 240); it moves to the
# middle of START, where the frame file puts it.
start=$(python3 - "$work/title_frame.jui" <<'PY'
import csv, sys
text = open(sys.argv[1], "rb").read().decode("gbk")
for row in csv.reader(text.splitlines()):
    if len(row) > 13 and row[2] == "title_start":
        x, y, _, _, dx, dy, w, h = (int(v) for v in row[6:14])
        print(x + dx + w // 2 - 320, y + dy + h // 2 - 240)
PY
)
printf '40 mouse %s\n42 button l down\n45 button l up\n' "$start" > "$work/in12"
timeout 60 "$H" --root "$work/game" --passes 80 --input "$work/in12" --log "$work/l12t" \
  --dump 30 --dump-dir "$work/d12" >/dev/null 2>&1
check "title with unreadable lines exits 0" "[ $? -eq 0 ]"
glow='UI文件中有一行不是能读的记录，已跳过：ui\title_frame.jui第4行：“image",9,"title_glow","ui_title_bg",0,'
note='UI文件中有一行不是能读的记录，已跳过：ui\title_frame.jui第6行：说明：下面是"开始按钮"'
check "the kind in mixed quotes is reported by its line" "grep -qF -- \"\$glow\" $work/l12t"
check "the note with one quote is reported by its line" "grep -qF -- \"\$note\" $work/l12t"
check "no report refuses the frame" "! grep -q 'UI文件有误' $work/l12t"
cp "$work/title_frame.jui" "$work/game/ui/title_frame.jui"
timeout 60 "$H" --root "$work/game" --passes 40 --log "$work/l12g" --dump 30 --dump-dir "$work/d12g" >/dev/null 2>&1
check "the title with START looks as without the lines" \
  "[ -s $work/d12/frame-30.ppm ] && cmp -s $work/d12/frame-30.ppm $work/d12g/frame-30.ppm"
check "a click on START starts the game" "grep -q '^P4[5-9] .*script open gameinit' $work/l12t"

echo "harness checks: $fails failed"
[ $fails -eq 0 ]
