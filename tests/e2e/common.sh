# Shared opening of the real-window scripts: sourced, not run.

# Stops the script when one of the named programs is missing.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
  done
}

# A work folder $work, removed at exit.
work_folder() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# A work folder removed at exit, holding a copy of the game folder $1 as
# $work/game, so no run changes the folder it was given.
work_on_copy() {
  work_folder
  cp -r "$1" "$work/game"
}

# A copy of the demo $1 as work_on_copy makes it, started in play (start
# state 3: the start of a game runs at once, with no logo to wait through),
# and $shots, the folder for screenshots: $TEV_SHOT_DIR when it is set.
demo_in_play() {
  work_on_copy "$1"
  sed -i '2s/^0!/3!/' "$work/game/config.jcf"
  shots=${TEV_SHOT_DIR:-$work/shots}
  mkdir -p "$shots"
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

# Inside the X session: brings window $1 to the front, presses the key $2
# and waits for the window named $3 (its id on standard output).
key_opens() { xdotool windowactivate --sync "$1" 2>/dev/null; xdotool key "$2"; wait_for "$3"; }
# Waits up to 2 s for no window named $1 to be shown.
gone() {
  local i
  for i in $(seq 1 20); do [ -z "$(visible "$1")" ] && return 0; sleep 0.1; done
  return 1
}
# A click of button $5 (1 unless given), repeated $4 times (a double click
# with 2), at (x, y) = ($2, $3) of window $1's client area.
click_in() { xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click --repeat "${4:-1}" --delay 120 "${5:-1}"; sleep 0.5; }

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

# Runs the script $work/run.sh on an X server of its own (a 1280×1024
# screen) for at most $1 seconds, shows what it wrote to $work/results and
# counts a run that fails or reports a FAIL line.
run_in_x() {
  timeout "$1" xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' bash "$work/run.sh" || fail "run"
  cat "$work/results" 2>/dev/null
  grep -q FAIL "$work/results" 2>/dev/null && fails=$((fails + 1))
  return 0
}
