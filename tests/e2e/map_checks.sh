#!/usr/bin/env bash
# Whole headless runs that start in play on a map (--map), checked through
# the log.
set -u
H=${TEVLEGEND_HEADLESS:?}
DEMO=${TEV_DEMO_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; fails=$((fails + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
cp -r "$DEMO" "$work/game"

# 1. A demo map: in play from the first pass, nothing reported.
timeout 60 "$H" --root "$work/game" --map demo --passes 5 --log "$work/l1" >/dev/null 2>&1
check "map run exits 0" "[ $? -eq 0 ]"
check "in play after the first pass" "grep -q '^P1 .*state 0->3' $work/l1"
check "no report" "! grep -q msgbox $work/l1"
check "the role lives" "! grep -q 'sound play roledie' $work/l1"
every_pass() { for p in 1 2 3 4 5; do grep -q "^P$p .* present " "$1" || return 1; done; }
check "a frame every pass" "every_pass $work/l1"
first_release=$(grep -n 'sound release-all' "$work/l1" | head -1 | cut -d: -f1)
in_play=$(grep -n 'state 0->3' "$work/l1" | head -1 | cut -d: -f1)
check "sound effects released by the change, before the first pass ends" "[ -n '$first_release' ] && [ -n '$in_play' ] && [ $first_release -lt $in_play ]"

# 2. A map that does not exist: the game's message with the path; the run goes on.
timeout 60 "$H" --root "$work/game" --map nosuchmap --passes 5 --log "$work/l2" >/dev/null 2>&1
check "missing map run exits 0" "[ $? -eq 0 ]"
check "missing map message" "grep -q 'msgbox caption=\"\" text=\"打开MAP文件出错！\"' $work/l2"
# The path shows single separators.
if grep -qF 'text="Map\nosuchmap.jmap"' "$work/l2"; then pass "missing map path"; else fail "missing map path"; fi
check "missing map: still a frame every pass" "every_pass $work/l2"

# 3. A broken map: refused naming its line; a name in GBK is found.
printf '20,15,1,0,0\r\n0,0,0\r\n' > "$work/game/Map/broken.jmap"
timeout 60 "$H" --root "$work/game" --map broken --passes 3 --log "$work/l3" >/dev/null 2>&1
check "broken map run exits 0" "[ $? -eq 0 ]"
check "broken map names line 2" "grep -q 'broken.jmap：第2行' $work/l3"
cp "$work/game/Map/small.jmap" "$work/game/Map/小地图.jmap"
timeout 60 "$H" --root "$work/game" --map 小地图 --passes 3 --log "$work/l4" >/dev/null 2>&1
check "GBK map name loads" "[ $? -eq 0 ] && ! grep -q msgbox $work/l4"

echo "map checks: $fails failed"
[ $fails -eq 0 ]
