#!/usr/bin/env bash
# The real game under Xvfb playing the demo with its bat, from START,
# with real X events: a role left standing while the village bat bites
# still stands half a minute later; the right button held down casts at the
# bat, and the level-up notice its kill opens stays when the button is let
# go; Esc pressed while the right button is held opens the menu, which stays
# when the button is let go. First of all, SAVE, SLOT 1, OK, then a click
# where the save box's BACK was: the game goes on, the menu open.
# Screenshots are kept in $TEV_SHOT_DIR when it is set.
set -u
G=${TEVLEGEND:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
need_tools xvfb-run xdotool import convert python3
demo_in_play "$DEMO"
# The people stay out of the way: the role stands where it started. It
# carries all three books. Only the bat roams: a slime starts where the
# cast with Esc aims, and its kill could bring a level-up notice over the
# menu.
printf 'EOF' > "$work/game/Script/demo_npc.jsr"
grep -a -v ',6,512,160,\|,6,384,352,' "$work/game/Script/demo_monster.jsr" > "$work/monsters"
mv "$work/monsters" "$work/game/Script/demo_monster.jsr"
sed -i -e 's/AddItem("book1")/AddItem("book1")\r\nAddItem("book2")\r\nAddItem("book3")/' \
  -e 's/KeyTable(key2,0)/KeyTable(key2,1)/' -e 's/KeyTable(key3,0)/KeyTable(key3,1)/' "$work/game/Script/gameinit.jsr"
rm -f "$shots"/first-minute-*.png

cat > "$work/run.sh" <<INNER
cd "$work/game"
# The game takes its cursor 32 pixels up and left of the system pointer:
# from here it starts at the middle of the screen, (320, 240).
xdotool mousemove 352 272
SDL_AUDIODRIVER=dummy "$G" >> "$work/game.out" 2>&1 &
pid=\$!
. "$HERE/game_window.sh"
wait_game_window \$pid "$work/game.out" || exit 1
xdotool windowfocus --sync "\$wid" 2>/dev/null
shot() { import -window root -crop 640x480+0+0 "$shots/\$1.png"; }
# The game's cursor moved to (x, y) by relative motion, as a mouse moves it.
cx=320; cy=240
to() { xdotool mousemove_relative -- \$((\$1 - cx)) \$((\$2 - cy)); cx=\$1; cy=\$2; sleep 0.2; }
click() { to \$1 \$2; xdotool click 1; sleep 0.6; }
# A click on the middle of a frame's element, where the frame file puts it.
click_on() { click \$(python3 "$work/centre.py" "$work/game/ui/\$1.jui" "\$2"); }
tap_esc() { xdotool keydown Escape; sleep 0.15; xdotool keyup Escape; }
for i in \$(seq 40); do
  shot probe
  python3 "$work/look.py" "$shots/probe.png" village && break
  sleep 0.5
done
# Ice, then thunder chosen; Esc; SAVE, SLOT 1, OK, and a click where the
# save box's BACK was; BACK.
xdotool key 2; sleep 0.4; shot first-minute-panel-ice
xdotool key 3; sleep 0.4; shot first-minute-panel-thunder
tap_esc; sleep 0.6
click_on mainmenu_frame menu_save; click_on selectsave_frame save_slot1; click_on saved_frame saved_ok
click_on selectsave_frame save_back
sleep 0.5; shot first-minute-after-back
kill -0 \$pid 2>/dev/null || exit 0
echo running > "$work/after-back"
click_on mainmenu_frame menu_back
# Fire chosen; the menu again, LOAD, SLOT 1: the panel under the open menu
# names the saved thunder. STATE, the ice book: the panel names ice.
xdotool key 1; sleep 0.4; shot first-minute-panel-fire
tap_esc; sleep 0.6
click_on mainmenu_frame menu_load; click_on selectload_frame load_slot1
sleep 0.4; shot first-minute-panel-loaded
click_on mainmenu_frame menu_state; click_on state_frame book2
sleep 0.4; shot first-minute-panel-book
click_on state_frame state_back; click_on mainmenu_frame menu_back
# Half a minute standing still while the bat bites.
sleep 30; shot first-minute-idle
# The fireball, the right button held at the bat until it falls; let go
# on the notice.
xdotool key 1; sleep 0.3
to 120 300
xdotool mousedown 3; sleep 4; shot first-minute-notice-held
xdotool mouseup 3; sleep 0.8; shot first-minute-notice-let-go
# OK on the notice, then Esc while the right button casts; let go.
click_on levelup_frame levelup_ok
to 520 140
# A tap that falls between two reads of a busy machine is pressed again,
# as a player would, while the button is still held.
xdotool mousedown 3; sleep 0.4
for i in 1 2 3; do
  tap_esc; sleep 0.5; shot first-minute-menu-held
  python3 "$work/look.py" "$shots/first-minute-menu-held.png" menu && break
done
xdotool mouseup 3; sleep 0.8; shot first-minute-menu-let-go
end_game \$pid "$work/exit" || exit 1
INNER

# The middle of an element's hit area in a frame file: centre.py FILE NAME.
cat > "$work/centre.py" <<'PY'
import csv, sys
text = open(sys.argv[1], "rb").read().decode("gbk")
for row in csv.reader(line for line in text.splitlines() if not line.startswith("//")):
    if len(row) > 13 and row[0] in ("image", "button") and row[2] == sys.argv[2]:
        x, y, _, _, dx, dy, w, h = (int(v) for v in row[6:14])
        print(x + dx + w // 2, y + dy + h // 2)
PY

# What a screenshot shows: the village in the view; a dialog panel (brown,
# no grass) over a box of the screen.
cat > "$work/look.py" <<'PY'
import subprocess, sys
ppm = subprocess.run(["convert", sys.argv[1], "-depth", "8", "ppm:-"], capture_output=True).stdout
try:
    magic, size, depth, px = ppm.split(b"\n", 3)
    w, h = map(int, size.split())
except ValueError:
    sys.exit(1)
def count(box, test):
    x0, y0, x1, y1 = box
    return sum(1 for y in range(y0, y1, 2) for x in range(x0, x1, 2)
               if test(tuple(px[(y * w + x) * 3:(y * w + x) * 3 + 3])))
grass = lambda p: p[1] > 100 and p[1] > p[0] + 30 and p[1] > p[2] + 30
# The dialogs' brown (the death notice's dark red is none of it).
panel = lambda p: p[0] > p[2] + 15 and p[2] + 5 <= p[1] < 120
what = sys.argv[2]
if what == "village":
    ok = count((23, 23, 616, 344), grass) > 12500
elif what == "menu":
    ok = count((210, 90, 430, 370), panel) > 5000 and count((210, 90, 430, 370), grass) < 500
elif what == "name":
    # The name's place in the panel, pixel for pixel as in the other shot.
    other = subprocess.run(["convert", sys.argv[3], "-depth", "8", "ppm:-"], capture_output=True).stdout
    ok = other.split(b"\n", 3)[:2] == ppm.split(b"\n", 3)[:2] and all(
        px[(y * w + 282) * 3:(y * w + 338) * 3] == other.split(b"\n", 3)[3][(y * w + 282) * 3:(y * w + 338) * 3]
        for y in range(418, 436))
elif what == "notice":
    ok = count((180, 120, 460, 230), panel) > 3500 and count((180, 120, 460, 230), grass) < 300
sys.exit(0 if ok else 1)
PY

rm -f "$work/exit" "$work/after-back"
timeout 150 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh"
check "the game went on to its end and ended with 0" "grep -q 'exit 0' $work/exit" || tail -5 "$work/game.out"
look() { python3 "$work/look.py" "$shots/$1.png" "$2"; }
check "half a minute after START the role left standing still stands in the village" "look first-minute-idle village"
check "the level-up notice shows while the right button is held" "look first-minute-notice-held notice"
check "the level-up notice stays when the right button is let go" "look first-minute-notice-let-go notice"
check "Esc with the right button held opens the menu" "look first-minute-menu-held menu"
check "Esc with the right button held: the menu stays when the button is let go" "look first-minute-menu-let-go menu"
check "SAVE, SLOT 1, OK, then a click where BACK was: the game goes on" "[ -s $work/after-back ]"
check "SAVE, SLOT 1, OK, then a click where BACK was: the menu shows" "look first-minute-after-back menu"
# The chosen magic's name in the panel, as shown with nothing over it.
name_as() { python3 "$work/look.py" "$shots/$1.png" name "$shots/$2.png"; }
check "LOAD from the menu: the panel under it names the saved magic" \
  "name_as first-minute-panel-loaded first-minute-panel-thunder && ! name_as first-minute-panel-loaded first-minute-panel-fire"
check "a book clicked in STATE: the panel under it names its magic" \
  "name_as first-minute-panel-book first-minute-panel-ice && ! name_as first-minute-panel-book first-minute-panel-thunder"
echo "xvfb first minute checks: $fails failed"
[ $fails -eq 0 ]
