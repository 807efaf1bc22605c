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

here="$(cd "$(dirname "$0")" && pwd)"

for tool in Xvfb openbox xdotool python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tmp="$(mktemp -d)"
fail() {
  echo "FAIL: $*" >&2
  ls "${photos:-/nonexistent}" 2>/dev/null | head -20 >&2
  exit 1
}
. "$here/display.sh"
start_display
export XDG_STATE_HOME="$tmp/state"
openbox >/dev/null 2>&1 &
pids+=($!)

photos="$tmp/photos"
mkdir -p "$photos"
cat >"$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg" <<EOF2
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]
"PATH"="$photos"

EOF2

# Presses Return (the default: はい / OK) in the box titled $2 of process $1
# and waits until that box has gone; $3 names the box in messages.
answer() {
  local box
  box="$(window_of "$1" "^$2\$")" || fail "no box titled $2 ($3)"
  keys_to "$box" Return
  for _ in $(seq 1 $((limit * 10))); do
    timeout 10 xdotool getwindowname "$box" >/dev/null 2>&1 || return 0
    xwininfo -id "$box" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  fail "the box titled $2 ($3) did not close"
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
    answer "$zvnum" '開始' question
    for _ in $(seq 1 $((limit * 10))); do [ -e "$photos/3.txt" ] && break; sleep 0.1; done
    [ -e "$photos/1.txt" ] && [ -e "$photos/3.txt" ] || fail "the real run did not rename the files"
    sleep 1
    # The 元に戻す button: right end of the button row, 9120, 5040 twips.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
    timeout 10 xdotool mousemove --window "$main" $((9120 * 96 / 1440 + 10)) $((5040 * 96 / 1440 + 10)) click 1
    answer "$zvnum" '元に戻す' question
    answer "$zvnum" '元に戻す' report
    after="$(cd "$photos" && stat -c '%n %Y %s' * | sha256sum)"
    [ "$before" = "$after" ] || fail "undo did not give back the names and times"
    ;;

  killed-recovery)
    # Enough files that the run is still going when the first new name shows,
    # however fast the machine renames.
    (cd "$photos" && for i in $(seq -w 1 20000); do echo "$i" >"f$i.dat"; done)
    sums="$(cd "$photos" && sha256sum * | sha256sum)"
    start_zvnum
    main="$(window_of "$zvnum" '^Zorvik$')" || fail "ZVNUM showed no window"
    sleep 1
    # 桁数を固定する off (3540, 1920 twips), so 20,000 numbers fit.
    timeout 10 xdotool windowactivate --sync "$main" 2>/dev/null
    timeout 10 xdotool mousemove --window "$main" $((3540 * 96 / 1440 + 6)) $((1920 * 96 / 1440 + 6)) click 1
    keys_to "$main" alt+s alt+r
    answer "$zvnum" '開始' question
    for _ in $(seq 1 $((limit * 100))); do [ -e "$photos/1.dat" ] && break; sleep 0.01; done
    kill -9 "$zvnum"
    wait "$zvnum" 2>/dev/null
    [ -e "$photos/1.dat" ] || fail "the run had not started when it was killed"
    [ -e "$photos/f00001.dat" ] && fail "the first file kept its name"
    [ -e "$photos/f20000.dat" ] || fail "the run had ended before it was killed"
    start_zvnum
    answer "$zvnum" '復旧' question
    answer "$zvnum" '復旧' report
    [ "$(cd "$photos" && sha256sum * | sha256sum)" = "$sums" ] || fail "recovery did not give back every file"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "ok: $case_name"
