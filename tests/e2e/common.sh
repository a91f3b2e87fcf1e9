# Shared opening of the real-window scripts: sourced, not run.

# Stops the script when one of the named programs is missing.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
  done
}

# A work folder removed at exit, holding a copy of the game folder $1 as
# $work/game, so no run changes the folder it was given.
work_on_copy() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -r "$1" "$work/game"
}

# Named checks, counted in $fails.
fails=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; fails=$((fails + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }

# Inside the X session: the id of a shown window whose name matches $1, and
# the same after waiting up to 10 s for it (fails when none comes).
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
wait_for() {
  local i w
  for i in $(seq 1 100); do
    w=$(visible "$1")
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# Inside an X session: the editor $1 started for the game folder $2 (as
# tools/edit.sh starts it), its output in $3, and its main window waited
# for; sets $pid and $wid.
start_editor() {
  export QT_QPA_PLATFORM=xcb
  "$1" "$2" > "$3" 2>&1 &
  pid=$!
  wid=$(wait_for '☆tilesmith★') || { echo "FAIL: no main window"; kill $pid; exit 1; }
  sleep 0.5
}
