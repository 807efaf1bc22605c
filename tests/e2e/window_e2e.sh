#!/usr/bin/env bash
# ZVNUM's main window as users meet it, under a window manager, driven by
# key presses and clicks:
#
#   window_e2e.sh BIN-DIR refusal-on-top|filter-run-sigterm
#
# refusal-on-top      a test run refused by the duplicate check: its message
#                     box is the top window, above the progress window, and
#                     Enter answers it.
# filter-run-sigterm  a pattern typed into the filter box and confirmed with
#                     Enter; a real run renames only the files it lets
#                     through; SIGTERM then ends ZVNUM cleanly with its
#                     settings saved, and the next start finds them.
set -uo pipefail

bin="$(cd "$1" && pwd -P)"
case_name="$2"
here="$(cd "$(dirname "$0")" && pwd)"
limit=20  # seconds any one step may take

for tool in Xvfb openbox xdotool xprop python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tmp="$(mktemp -d)"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
. "$here/display.sh"
start_display
reg="$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg"

# The settings store as a previous run left it: the folder $1 only.
store_folder() {
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Zorvik\Setting]' "\"PATH\"=\"$1\"" '' >"$reg"
}
photos="$tmp/photos"
mkdir -p "$photos"

# Client windows from bottom to top, as the window manager stacks them.
stacking() {
  xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'
}

case "$case_name" in
  refusal-on-top)
    : >"$photos/a.txt"
    mkdir "$photos/1.txt"  # numbering makes a.txt "1.txt": a folder outside the job holds it
    store_folder "$photos"
    start_zvnum "$bin/ZVNUM"
    keys_to "$main_win" alt+s alt+t
    box="$(window_of "$zvnum" '^ファイル指定エラー$')" || fail "the refusal showed no message box"
    sleep 1
    top="$(stacking | awk '{print $NF}')"
    [ "$((top))" -eq "$box" ] || fail "the message box is not the top window (top: $top, box: $box)"
    # The progress window is still open beneath it: the one it must not hide behind.
    shown="$(xdotool search --all --onlyvisible --pid "$zvnum" '' 2>/dev/null | sort -u | wc -l)"
    [ "$shown" -ge 3 ] || fail "expected the main, progress and message windows, found $shown"
    keys_to "$box" Return
    sleep 1
    xdotool search --all --onlyvisible --pid "$zvnum" --name '^ファイル指定エラー$' >/dev/null 2>&1 &&
      fail "Enter did not answer the message box"
    [ -e "$photos/a.txt" ] || fail "the refused test run touched a file"
    close_zvnum
    ;;

  filter-run-sigterm)
    : >"$photos/a.txt"
    : >"$photos/b.jpg"
    store_folder "$photos"
    start_zvnum "$bin/ZVNUM"
    # The filter box (its middle: 60 + 120 + 2655 / 2 across, 60 + 2640 + 300 / 2 down).
    click_twips "$main_win" 1507 2850
    timeout 10 xdotool key --delay 50 ctrl+a || fail "could not select the pattern"
    timeout 10 xdotool type --delay 50 '*.jpg' || fail "could not type the pattern"
    timeout 10 xdotool key Return || fail "could not press Enter"
    sleep 0.5
    # The buttons' keys leave the focus in the filter box; the question
    # takes it away, which must not re-read the list and drop the selection.
    keys_to "$main_win" alt+s alt+r
    ask="$(window_of "$zvnum" "^開始$")" || fail "the real run asked nothing"
    keys_to "$ask" Return
    for _ in $(seq 1 $((limit * 10))); do
      [ -e "$photos/1.jpg" ] && break
      sleep 0.1
    done
    [ -e "$photos/1.jpg" ] && [ ! -e "$photos/b.jpg" ] || fail "the real run did not rename b.jpg: $(ls "$photos")"
    [ -e "$photos/a.txt" ] || fail "the real run renamed a file the typed pattern left out"
    sleep 0.5
    kill -TERM "$zvnum"
    wait_end "$zvnum" || fail "ZVNUM did not end on SIGTERM"
    [ "$ended_with" -eq 0 ] || fail "ZVNUM ended with status $ended_with on SIGTERM"
    [ "$(value_of PATH)" = "$photos" ] || fail "SIGTERM did not save the folder"
    [ -n "$(value_of DRIVE)" ] || fail "SIGTERM did not save the drive"
    # The next start opens the saved folder and stores it again.
    start_zvnum "$bin/ZVNUM"
    close_zvnum
    [ "$(value_of PATH)" = "$photos" ] || fail "the restart did not find the saved folder"
    ;;

  *)
    fail "unknown case $case_name"
    ;;
esac

echo "ok: $case_name"
