# Sourced by the end-to-end scripts: a virtual X display of their own with a
# window manager (openbox, as on every desktop: it stacks, focuses and
# decorates windows as users see them), private settings folders, and the
# helpers that find windows and drive them. Exits 77 (skipped) when a tool
# is missing. The caller sets $bin first.

limit=20  # seconds any one step may take

for tool in Xvfb openbox xdotool xprop python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

e2e_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "--- registry file ---" >&2
  cat "$reg" >&2 2>/dev/null
  exit 1
}

# A display of our own; -displayfd hands back a free number, so parallel runs never collide.
# -noreset: a server that resets when its last client leaves refuses the next for a moment.
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
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "openbox did not start"

reg="$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg"
root='HKEY_CURRENT_USER\Software\VB and VBA Program Settings'

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

# Clicks window $1 at the point ($2, $3) given in twips of its client area.
click_twips() {
  local dpi=96
  timeout 10 xdotool mousemove --window "$1" $(($2 * dpi / 1440)) $(($3 * dpi / 1440)) click 1 ||
    fail "could not click window $1"
}

# The stored text of ZVNUM's key $1, empty when absent.
value_of() {
  awk -v sec="[$root\\Zorvik\\Setting]" -v key="\"$1\"=" '
    /^\[/ { inside = ($0 == sec) }
    inside && index($0, key) == 1 { v = substr($0, length(key) + 1); gsub(/^"|"$/, "", v); print v }' "$reg"
}

# Writes the settings store as a previous run left it: the folder $1 only.
store_folder() {
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' "[$root\\Zorvik\\Setting]" "\"PATH\"=\"$1\"" '' >"$reg"
}

# Starts ZVNUM and waits for its window: its pid in $zvnum, the window in $main_win.
start_zvnum() {
  "$bin/ZVNUM" &
  zvnum=$!
  pids+=("$zvnum")
  main_win="$(window_of "$zvnum" '^Zorvik$')" || fail "ZVNUM showed no window"
  sleep 0.5
}

# Closes ZVNUM's window as the user does and waits for the program to end.
close_zvnum() {
  python3 "$e2e_dir/xclose.py" "$main_win" || fail "could not ask ZVNUM's window to close"
  wait_end "$zvnum" || fail "ZVNUM did not end after its window was closed"
  [ "$ended_with" -eq 0 ] || fail "ZVNUM ended with status $ended_with"
}
