#!/usr/bin/env bash
# The real game under Xvfb on the folder the editor made in the round trip
# (roundtrip.editor_makes_game), started in play (start state 3 runs
# "gameinit"): a screenshot of the map with the role, NPCs and monsters the
# editor placed, kept in $TEV_SHOT_DIR as roundtrip-game.png.
set -u
G=${TEVLEGEND:?}
MADE=${TEV_ROUNDTRIP_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
need_tools xvfb-run xdotool import convert python3
[ -d "$MADE/game" ] || { echo "FAIL: no folder $MADE/game (the editor's half did not run)"; exit 1; }
work_on_copy "$MADE/game"
# The second line of config.jcf is the start state.
python3 - "$work/game/config.jcf" <<'PY'
import sys
p = sys.argv[1]
lines = open(p, "rb").read().split(b"\r\n")
lines[1] = b"3" + lines[1][1:]
open(p, "wb").write(b"\r\n".join(lines))
PY
shots=${TEV_SHOT_DIR:-$work}
mkdir -p "$shots"

cat > "$work/run.sh" <<INNER
cd "$work/game"
SDL_AUDIODRIVER=dummy "$G" > "$work/game.out" 2>&1 &
pid=\$!
. "$HERE/game_window.sh"
wait_game_window \$pid "$work/game.out" || exit 1
sleep 2
import -window root -crop 640x480+0+0 "$shots/roundtrip-game.png"
end_game \$pid "$work/exit" || exit 1
INNER
timeout 90 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$work/run.sh" || { echo "FAIL: run"; exit 1; }
grep -q 'exit 0' "$work/exit" || { echo "FAIL: the game ended with $(cat "$work/exit")"; cat "$work/game.out"; exit 1; }
[ -s "$shots/roundtrip-game.png" ] || { echo "FAIL: no screenshot"; exit 1; }
if grep -q 'msgbox\|失败\|出错' "$work/game.out"; then echo "FAIL: the game reported:"; cat "$work/game.out"; exit 1; fi
# The map view (593x321 at 23,23) shows the map: many colours, not one.
colours=$(convert "$shots/roundtrip-game.png" -crop 593x321+23+23 +repage -unique-colors -format '%w' info:)
echo "colours in the map view: $colours"
[ "${colours:-0}" -gt 20 ] || { echo "FAIL: the map view is nearly empty"; exit 1; }
echo "ok: the editor-made folder plays; screenshot $shots/roundtrip-game.png"
