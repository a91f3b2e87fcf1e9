#!/usr/bin/env bash
# How the real tilesmith refuses to start:
# - where no display can be reached (DISPLAY naming a display no server
#   holds, or no DISPLAY at all), it says so in one line and ends with
#   status 1;
# - under Xvfb, started for a folder without an "editor" folder, it says so on
#   stderr and in a box, which a real key press closes; it then ends with
#   status 2.
set -u
T=${TILESMITH:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../e2e/common.sh"
need_tools xvfb-run xdotool
work_folder
mkdir -p "$work/game/editor" "$work/no-game"

# A display number no server holds.
n=4093
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n - 1)); done
for display in ":$n" ""; do
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display timeout 30 "$T" "$work/game" > "$work/out" 2> "$work/err"
  rc=$?
  check "no display ('$display'): ends with status 1 (exit $rc)" "[ $rc -eq 1 ]"
  check "no display ('$display'): one line says so" \
    "[ \$(wc -l < '$work/err') -eq 1 ] && grep -q '^tilesmith: no display to show the window on' '$work/err'"
done

cat > "$work/run.sh" <<INNER
set -u
. "$HERE/../e2e/common.sh"
export QT_QPA_PLATFORM=xcb
"$T" "$work/no-game" > "$work/refused.out" 2> "$work/refused.err" &
pid=\$!
if box=\$(wait_for '^tilesmith\$'); then
  echo "ok the box is shown" >> "$work/results"
  xdotool key Return
  gone '^tilesmith\$' || echo "FAIL the box stayed after Return" >> "$work/results"
else
  echo "FAIL no box" >> "$work/results"
fi
for i in \$(seq 1 50); do kill -0 \$pid 2>/dev/null || break; sleep 0.1; done
kill -0 \$pid 2>/dev/null && { echo "FAIL still running after the box"; kill \$pid; } >> "$work/results"
wait \$pid
echo "rc \$?" >> "$work/results"
INNER
run_in_x 60
check "a folder without editor: ends with status 2" "grep -qx 'rc 2' '$work/results'"
check "a folder without editor: stderr names the folder" "grep -q 'editor.*$work/no-game' '$work/refused.err'"
[ $fails -eq 0 ] || { cat "$work/err" "$work/refused.err" 2>/dev/null; exit 1; }
echo "ok: the editor says why it does not start"
