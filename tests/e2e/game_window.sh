# Sourced by the inner scripts that run the real game under Xvfb.

# Waits for the game's window ($1: the game's pid, $2: its output file) and
# sets wid; without a window it shows what the game said and fails.
wait_game_window() {
  for i in $(seq 1 300); do
    wid=$(xdotool search --name 'Tev Legend by Jex' 2>/dev/null | head -1)
    [ -n "$wid" ] && return 0
    kill -0 "$1" 2>/dev/null || break
    sleep 0.05
  done
  echo "no window; the game said:"; cat "$2"
  kill "$1" 2>/dev/null
  return 1
}

# Ends the game the way a session ends it (SIGTERM becomes SDL's quit event)
# and writes "exit <code>" to $2.
end_game() {
  kill -TERM "$1"
  for i in $(seq 1 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; echo "did not end"; return 1; fi
  wait "$1"
  echo "exit $?" > "$2"
}

# Clock ticks of CPU (user and system) spent so far by the threads of the
# process $1 that run a GPU emulated on the CPU (Mesa's llvmpipe, softpipe).
emulated_gpu_ticks() {
  local t total=0 n
  for t in /proc/$1/task/*; do
    case $(cat "$t/comm" 2>/dev/null) in
    llvmpipe* | softpipe*)
      n=$(awk '{sub(/^.*\) /, ""); print $12 + $13}' "$t/stat" 2>/dev/null)
      total=$((total + ${n:-0})) ;;
    esac
  done
  echo $total
}
