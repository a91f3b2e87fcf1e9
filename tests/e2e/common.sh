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
