#!/usr/bin/env bash
# The headless harness with each file of the table of damaged MIDI files as
# the title music (and the good ones): the same check as the real game's
# sound back end, so a damaged piece is refused with the game's one report
# naming it, and a good one plays without a report.
set -u
H=${TEVLEGEND_HEADLESS:?}
DEMO=${TEV_DEMO_DIR:?}
CASES=${TEV_DAMAGED_MIDI_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
work_on_copy "$DEMO"
# Start at the title, which plays the title music.
sed -i '2s/^0!/1!/' "$work/game/config.jcf"
damaged=0
for f in "$CASES"/*.mid; do
  name=$(basename "$f" .mid)
  cp "$f" "$work/game/Resource/mid/title.mid"
  timeout 60 "$H" --root "$work/game" --passes 20 --log "$work/$name.log" >/dev/null 2>&1
  check "$name: the run exits 0" "[ $? -eq 0 ]"
  reports=$(grep -c 'msgbox caption="" text="DXSHOW 打开MIDI音乐文件失败！"' "$work/$name.log")
  if [ "${name#good}" != "$name" ]; then
    check "$name: played without a report" "[ $reports -eq 0 ] && grep -q 'audio music-load title$' '$work/$name.log'"
  else
    damaged=$((damaged + 1))
    check "$name: refused with one report naming it" \
      "[ $reports -eq 1 ] && grep -qF 'msgbox caption=\"\" text=\"Resource\\mid\\title.mid\"' '$work/$name.log'"
  fi
done
check "the table of damaged files was made" "[ $damaged -gt 0 ]"

echo "harness bad music checks: $fails failed"
[ $fails -eq 0 ]
