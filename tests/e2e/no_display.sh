#!/usr/bin/env bash
# The real game started where no display can be reached: it says so and
# ends, rather than running unseen on a driver that draws nowhere; a driver
# of that kind asked for by name is still taken.
set -u
G=${TEVLEGEND:?}
DEMO=${TEV_DEMO_DIR:?}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/common.sh"
work_on_copy "$DEMO"
cd "$work/game"

# A display number no server holds.
n=4093
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n - 1)); done

env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:$n SDL_AUDIODRIVER=dummy \
  timeout 30 "$G" > "$work/out" 2> "$work/err"
rc=$?
check "ends by itself, failing (exit $rc)" "[ $rc -ne 0 ] && [ $rc -ne 124 ]"
check "says there is no display" "grep -q 'no display to show the window on' '$work/err'"

env -u WAYLAND_DISPLAY DISPLAY=:$n SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
  timeout 3 "$G" > "$work/out2" 2> "$work/err2"
rc=$?
check "runs on a driver asked for by name (exit $rc)" "[ $rc -eq 124 ]"

echo "no display checks: $fails failed"
[ $fails -eq 0 ]
