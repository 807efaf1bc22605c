# Shared by the end-to-end scripts: a virtual display of the script's own, and
# finding, typing into and waiting for the programs' windows. The sourcing
# script defines fail() and sets `limit` (seconds any one step may take).
#
#   e2e_start TOOL...   exits 77 (skipped) unless every tool is installed;
#                       makes $tmp, starts Xvfb and exports DISPLAY

e2e_start() {
  local tool
  for tool in Xvfb xdotool "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
  tmp="$(mktemp -d)"
  pids=()
  trap e2e_cleanup EXIT
  # -displayfd hands back a free number, so parallel runs never collide.
  # -noreset: a server that resets when its last client leaves refuses the next for a moment.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 1 $((limit * 10))); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
  done
  [ -s "$tmp/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$tmp/display")"
  export QT_QPA_PLATFORM=xcb
  unset QT_QPA_PLATFORMTHEME
}

e2e_cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}

# Echoes the id of a visible window of process $1 whose title matches $2.
window_of() {
  local pid="$1" title="$2" id
  for _ in $(seq 1 $((limit * 5))); do
    kill -0 "$pid" 2>/dev/null || return 1
    id="$(timeout 10 xdotool search --all --onlyvisible --pid "$pid" --name "$title" 2>/dev/null | head -n1)"
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Waits for process $1 to end; its exit status goes into $ended_with.
wait_end() {
  local pid="$1"
  for _ in $(seq 1 $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      ended_with=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Gives window $1 the keyboard (through the window manager when one runs)
# and presses the keys that follow.
keys_to() {
  local id="$1"
  shift
  timeout 10 xdotool windowactivate --sync "$id" 2>/dev/null || timeout 10 xdotool windowfocus "$id" ||
    fail "could not focus window $id"
  sleep 0.5
  timeout 10 xdotool key --delay 100 "$@" || fail "could not press $*"
}
