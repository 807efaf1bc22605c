# Sourced by the end-to-end scripts: a virtual X display of their own with a
# window manager (openbox, as on every desktop: it stacks, focuses and frames
# windows as users see them), and the means to find, drive and close the
# programs' windows on it.
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
  Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
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
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 $((limit * 10))); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  fail "openbox did not start"
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
  timeout 10 xdotool windowactivate --sync "$id" 2>/dev/null || timeout 10 xdotool windowfocus "$id" ||
    fail "could not focus window $id"
  sleep 0.5
  timeout 10 xdotool key --delay 100 "$@" || fail "could not press $*"
}

# Asks window $1 to close as the window manager's close box does.
close_window() {
  python3 "$e2e_here/xclose.py" "$1" || fail "could not ask window $1 to close"
}

# Clicks window $1 at the point ($2, $3) given in twips of its client area (96 dpi).
click_twips() {
  local dpi=96
  timeout 10 xdotool mousemove --window "$1" $(($2 * dpi / 1440)) $(($3 * dpi / 1440)) click 1 ||
    fail "could not click window $1"
}

# Clicks the help button of ZVNUM's main window $1: its middle, 6660 + 375 / 2
# twips across, 5040 + 375 / 2 down.
click_help() {
  click_twips "$1" 6848 5228
}

# The stored text of ZVNUM's key $1 in the settings file $reg, empty when absent.
value_of() {
  awk -v sec="[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]" -v key="\"$1\"=" '
    /^\[/ { inside = ($0 == sec) }
    inside && index($0, key) == 1 { v = substr($0, length(key) + 1); gsub(/^"|"$/, "", v); print v }' "$reg"
}

# Starts the ZVNUM at path $1 and waits for its window: the process in $zvnum,
# the window in $main_win.
start_zvnum() {
  "$1" &
  zvnum=$!
  pids+=("$zvnum")
  main_win="$(window_of "$zvnum" '^Zorvik$')" || fail "$1 showed no window"
  sleep 0.5
}

# Closes ZVNUM's window as the user does; the program must end, cleanly.
close_zvnum() {
  close_window "$main_win"
  wait_end "$zvnum" || fail "ZVNUM did not end after its window was closed"
  [ "$ended_with" -eq 0 ] || fail "ZVNUM ended with status $ended_with"
}

# Starts the ZVNUM at path $1, waits for its window and closes it as the user
# does; with "help" as $2 it opens its help first and closes the main window
# with the help window still open.
run_zvnum() {
  start_zvnum "$1"
  if [ "${2:-}" = help ]; then
    click_help "$main_win"
    window_of "$zvnum" 'ヘルプ' >/dev/null || fail "the help button opened no help window"
  fi
  close_zvnum
}
