#!/usr/bin/env bash
# The real game under Xvfb: a 640x480 window at the top-left corner; the logo fades in, gives way to the title, whose
# cursor follows the mouse; the logo's sound reaches the audio output.
# Screenshots are kept in $TEV_SHOT_DIR when it is set.
set -u
G=${TEVLEGEND:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
need_tools xvfb-run xdotool import convert sox python3
work_on_copy "$DEMO"
shots=${TEV_SHOT_DIR:-$work/shots}
mkdir -p "$shots"

# One run of the game; $1 = audio driver, $2 = the commands run once its
# window is up (with $pid and $wid set). The game is ended the way a
# session ends it (SIGTERM becomes SDL's quit event).
run_game() {
  cat > "$work/run.sh" <<INNER
cd "$work/game"
SDL_AUDIODRIVER=$1 SDL_DISKAUDIOFILE="$work/audio.raw" "$G" > "$work/game.out" 2>&1 &
pid=\$!
. "$HERE/game_window.sh"
wait_game_window \$pid "$work/game.out" || exit 1
shot() { import -window root -crop 640x480+0+0 "$shots/\$1.png"; }
$2
end_game \$pid "$work/exit" || exit 1
INNER
  rm -f "$work/exit"
  timeout 90 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh"
}

# Pixel statistics of a screenshot: "mean X0,Y0,X1,Y1" (mean of the
# brightest channel), "white" (the white pixels, one "x y" a line; the
# renderer may show 0xFFFF as 255,254,255).
stat_png() {
  convert "$1" -depth 8 "$work/s.ppm" || return 1
  python3 - "$work/s.ppm" "$2" "${3:-}" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
magic, size, depth, px = data.split(b"\n", 3)
w, h = map(int, size.split())
if sys.argv[2] == "mean":
    x0, y0, x1, y1 = map(int, sys.argv[3].split(","))
    total = sum(max(px[(y * w + x) * 3:(y * w + x) * 3 + 3]) for y in range(y0, y1) for x in range(x0, x1))
    print(total // ((x1 - x0) * (y1 - y0)))
else:
    for i in range(w * h):
        if min(px[i * 3:i * 3 + 3]) >= 250:
            print(i % w, i // w)
PY
}

# 1. The window, the logo, the title and its cursor, without a sound card.
run_game dummy '
xdotool getwindowgeometry "$wid" > ../geom
sleep 0.8; shot logo-early
sleep 1.6; shot logo
sleep 3.6; shot title
xdotool mousemove_relative -- 100 50
sleep 0.8; shot moved'
check "game ended with 0" "grep -q 'exit 0' $work/exit" || { cat "$work/exit" "$work/game.out" 2>/dev/null | tail -5; }
check "window at the screen's top-left corner" "grep -q 'Position: 0,0' $work/geom"
check "window of 640x480" "grep -q 'Geometry: 640x480' $work/geom"
for s in logo-early logo title moved; do
  check "screenshot $s" "[ -s $shots/$s.png ]"
done
early=$(stat_png "$shots/logo-early.png" mean 192,42,448,298)
later=$(stat_png "$shots/logo.png" mean 192,42,448,298)
echo "logo brightness: $early then $later"
check "the logo shows" "[ ${later:-0} -gt 40 ]"
check "the logo fades in" "[ ${later:-0} -gt $((${early:-0} + 15)) ]"
check "nothing beside the logo" "[ \$(stat_png $shots/logo.png mean 0,300,640,480) -eq 0 ]"
check "no cursor during the logo" "[ -z \"\$(stat_png $shots/logo.png white)\" ]"
stat_png "$shots/title.png" white > "$work/w-title"
stat_png "$shots/moved.png" white > "$work/w-moved"
check "the title shows the cursor" "[ \$(wc -l < $work/w-title) -gt 20 ]"
# The cursor's new pixels are its old ones moved by (100, 50).
python3 - "$work/w-title" "$work/w-moved" <<'PY' > "$work/follow"
import sys
before = {tuple(map(int, l.split())) for l in open(sys.argv[1])}
after = {tuple(map(int, l.split())) for l in open(sys.argv[2])}
new = after - before
shifted = {(x + 100, y + 50) for x, y in before}
print("ok" if len(new) > 20 and new <= shifted else "new=%d outside=%d" % (len(new), len(new - shifted)))
PY
check "the cursor follows the mouse ($(cat $work/follow))" "grep -qx ok $work/follow"

# 2. The logo's sound on the first frame, through SDL's disk audio driver.
run_game disk 'sleep 2'
check "disk audio run ended with 0" "grep -q 'exit 0' $work/exit"
check "audio was written" "[ -s $work/audio.raw ]"
check "the logo sound is heard" \
  "sox -t raw -r 44100 -e signed -b 16 -c 2 $work/audio.raw -n stat 2>&1 | awk '/Maximum amplitude/ {seen = 1; loud = (\$3 > 0.05)} END {exit !(seen && loud)}'"

echo "xvfb logo checks: $fails failed"
[ $fails -eq 0 ]
