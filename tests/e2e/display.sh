# Sourced by the end-to-end scripts: a virtual X display of their own and the
# means to find, drive and close the programs' windows on it.
#
# The caller sets $tmp (a scratch folder, removed at exit), $limit (seconds
# any one step may take) and a function fail MESSAGE; processes it starts go
# into the array pids, which the exit trap ends.

e2e_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# A display of our own; -displayfd hands back a free number, so parallel runs never collide.
# -noreset: a server that resets when its last client leaves refuses the next for a moment.
# Settings and runtime files go below $tmp, so the user's are never touched.
start_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 1 $((limit * 10))); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
  done
  [ -s "$tmp/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$tmp/display")"
  export XDG_CONFIG_HOME="$tmp/config"
  export XDG_RUNTIME_DIR="$tmp/run"
  mkdir -p "$XDG_CONFIG_HOME/zorvik/registry" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export QT_QPA_PLATFORM=xcb
  unset QT_QPA_PLATFORMTHEME
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

# Gives window $1 the keyboard and presses the keys that follow.
keys_to() {
  local id="$1"
  shift
  timeout 10 xdotool windowfocus "$id" || fail "could not focus window $id"
  sleep 0.5
  timeout 10 xdotool key --delay 100 "$@" || fail "could not press $*"
}

# Asks window $1 to close as the window manager's close box does.
close_window() {
  python3 "$e2e_here/xclose.py" "$1" || fail "could not ask window $1 to close"
}

# Clicks the help button of ZVNUM's main window $1.
click_help() {
  # The button's middle: 6660 + 375 / 2 twips across, 5040 + 375 / 2 down, at 96 dpi.
  local dpi=96
  timeout 10 xdotool mousemove --window "$1" $((6848 * dpi / 1440)) $((5228 * dpi / 1440)) click 1
}

# Starts the ZVNUM at path $1, waits for its window and closes it as the user
# does; with "help" as $2 it opens its help first and closes the main window
# with the help window still open. Either way the program must end, cleanly.
run_zvnum() {
  "$1" &
  local zvnum=$!
  pids+=("$zvnum")
  local main_win
  main_win="$(window_of "$zvnum" '^Zorvik$')" || fail "$1 showed no window"
  sleep 0.5
  if [ "${2:-}" = help ]; then
    click_help "$main_win"
    window_of "$zvnum" 'ヘルプ' >/dev/null || fail "the help button opened no help window"
  fi
  close_window "$main_win"
  wait_end "$zvnum" || fail "ZVNUM did not end after its window was closed"
  [ "$ended_with" -eq 0 ] || fail "ZVNUM ended with status $ended_with"
}
