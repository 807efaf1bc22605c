#!/usr/bin/env bash
# The real ZVNUM on a virtual X display with a window manager, driven through
# its windows: a real run taken back with the 元に戻す button, and a run killed
# half way that the next start offers to take back.
#
#   undo_e2e.sh BIN-DIR run-undo|killed-recovery
#
# Configuration, state and runtime folders are the test's own. Exit 77
# (skipped) when Xvfb, openbox or xdotool is missing.
set -uo pipefail

bin="$(cd "$1" && pwd -P)"
case_name="$2"
limit=30  # seconds any one step may take

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tmp="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  ls "$photos" 2>/dev/null | head -20 >&2
  exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 $((limit * 10))); do
  [ -s "$tmp/display" ] && break
  sleep 0.1
done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$tmp/display")"
openbox >/dev/null 2>&1 &
pids+=($!)

export XDG_CONFIG_HOME="$tmp/config" XDG_STATE_HOME="$tmp/state" XDG_RUNTIME_DIR="$tmp/run"
mkdir -p "$XDG_CONFIG_HOME/zorvik/registry" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME
photos="$tmp/photos"
mkdir -p "$photos"
cat >"$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg" <<EOF2
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]
"PATH"="$photos"

EOF2

window_of() {  # id of a visible window of process $1 whose title matches $2
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

keys_to() {  # gives window $1 the keyboard and presses the keys that follow
  local id="$1"
  shift
  timeout 10 xdotool windowactivate --sync "$id" 2>/dev/null || timeout 10 xdotool windowfocus "$id"
  sleep 0.5
  timeout 10 xdotool key --delay 100 "$@" || fail "could not press $*"
}

answer() {  # presses Return (the default: はい / OK) in the box titled $2 of process $1
  local box
  box="$(window_of "$1" "^$2\$")" || fail "no box titled $2"
  keys_to "$box" Return
  sleep 0.5
}

start_zvnum() {
  "$bin/ZVNUM" &
  zvnum=$!
  pids+=("$zvnum")
}

listing() { (cd "$photos" && ls | sort | sha256sum); }

case "$case_name" in
  run-undo)
    for n in c b a; do echo "$n" >"$photos/$n.txt"; done
    touch -d '2001-02-03 04:05:06' "$photos"/*.txt
    before="$(cd "$photos" && stat -c '%n %Y %s' * | sha256sum)"
    start_zvnum
    main="$(window_of "$zvnum" '^Zorvik$')" || fail "ZVNUM showed no window"
    sleep 1
    keys_to "$main" alt+s alt+r
    answer "$zvnum" '開始'
    for _ in $(seq 1 $((limit * 10))); do [ -e "$photos/3.txt" ] && break; sleep 0.1; done
    [ -e "$photos/1.txt" ] && [ -e "$photos/3.txt" ] || fail "the real run did not rename the files"
    sleep 1
    # The 元に戻す button: right end of the button row, 9120, 5040 twips.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
    timeout 10 xdotool mousemove --window "$main" $((9120 * 96 / 1440 + 10)) $((5040 * 96 / 1440 + 10)) click 1
    answer "$zvnum" '元に戻す'  # the question
    answer "$zvnum" '元に戻す'  # the report
    after="$(cd "$photos" && stat -c '%n %Y %s' * | sha256sum)"
    [ "$before" = "$after" ] || fail "undo did not give back the names and times"
    ;;

  killed-recovery)
    (cd "$photos" && for i in $(seq -w 1 6000); do echo "$i" >"f$i.dat"; done)
    sums="$(cd "$photos" && sha256sum * | sha256sum)"
    start_zvnum
    main="$(window_of "$zvnum" '^Zorvik$')" || fail "ZVNUM showed no window"
    sleep 1
    # 桁数を固定する off (3540, 1920 twips), so 6,000 numbers fit.
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
    timeout 10 xdotool mousemove --window "$main" $((3540 * 96 / 1440 + 6)) $((1920 * 96 / 1440 + 6)) click 1
    keys_to "$main" alt+s alt+r
    answer "$zvnum" '開始'
    for _ in $(seq 1 $((limit * 100))); do [ -e "$photos/1.dat" ] && break; sleep 0.01; done
    kill -9 "$zvnum"
    wait "$zvnum" 2>/dev/null
    [ -e "$photos/1.dat" ] || fail "the run had not started when it was killed"
    [ -e "$photos/f0001.dat" ] && fail "the first file kept its name"
    start_zvnum
    answer "$zvnum" '復旧'  # the question
    answer "$zvnum" '復旧'  # the report
    [ "$(cd "$photos" && sha256sum * | sha256sum)" = "$sums" ] || fail "recovery did not give back every file"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"
