#!/usr/bin/env bash
# The real ZVNUM and ZVPURGE on a virtual X display, driven through their
# windows: the folder ZVNUM keeps between runs, its removal by ZVPURGE, and
# the one-instance rule.
#
#   settings_e2e.sh BIN-DIR purge-yes|purge-no|second-instance|help-open-at-exit
#
# Every run has its own configuration and runtime folders, so the user's
# settings are never touched. Exit 77 (skipped) when Xvfb or xdotool is missing.
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
  echo "--- registry file ---" >&2
  cat "$reg" >&2 2>/dev/null
  exit 1
}
. "$here/display.sh"
start_display
reg="$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg"
root='HKEY_CURRENT_USER\Software\VB and VBA Program Settings'
photos="$tmp/photos"
mkdir -p "$photos"
: >"$photos/a.txt"

# The registry as a previous run left it: ZVNUM's folder and a neighbour's key.
cat >"$reg" <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software]

[$root]

[$root\\Neighbour]
"keep"="隣のキー"

[$root\\Zorvik]

[$root\\Zorvik\\Setting]
"PATH"="$photos"

EOF

neighbour_intact() {
  grep -qF "[$root\\Neighbour]" "$reg" && grep -qF '"keep"="隣のキー"' "$reg"
}

# A first run opens the stored folder and stores it again at exit, with the drive.
run_zvnum "$bin/ZVNUM"
[ "$(value_of PATH)" = "$photos" ] || fail "the first run did not keep the stored folder: '$(value_of PATH)'"
[ -n "$(value_of DRIVE)" ] || fail "the first run stored no drive"
neighbour_intact || fail "the neighbour's key changed"

case "$case_name" in
  purge-yes | purge-no)
    cp "$reg" "$tmp/before-purge"
    "$bin/ZVPURGE" &
    purge=$!
    pids+=("$purge")
    win="$(window_of "$purge" 'レジストリ削除')" || fail "ZVPURGE showed no window"
    keys_to "$win" alt+r
    ask="$(window_of "$purge" '^削除$')" || fail "ZVPURGE asked nothing"
    if [ "$case_name" = purge-no ]; then
      keys_to "$ask" Escape
      sleep 1
      kill -0 "$purge" 2>/dev/null || fail "ZVPURGE ended after No"
      cmp -s "$reg" "$tmp/before-purge" || fail "No changed the registry"
      # Still open: the cancel button ends it, touching nothing.
      keys_to "$win" Tab space
      wait_end "$purge" || fail "ZVPURGE's cancel button did not end it"
      cmp -s "$reg" "$tmp/before-purge" || fail "cancel changed the registry"
      run_zvnum "$bin/ZVNUM"
      [ "$(value_of PATH)" = "$photos" ] || fail "after No the next run did not open the stored folder"
    else
      keys_to "$ask" Return
      done_box="$(window_of "$purge" '^削除完了$')" || fail "ZVPURGE showed no completion message"
      keys_to "$done_box" Return
      wait_end "$purge" || fail "ZVPURGE did not end after removing the settings"
      [ "$ended_with" -eq 0 ] || fail "ZVPURGE ended with status $ended_with"
      grep -qF "[$root\\Zorvik" "$reg" && fail "ZVNUM's key is still there"
      neighbour_intact || fail "the neighbour's key was touched by the removal"
      # Nothing stored: the next run starts in the program folder and stores that.
      run_zvnum "$bin/ZVNUM"
      [ "$(value_of PATH)" = "$bin" ] || fail "after removal the next run started in '$(value_of PATH)', not '$bin'"
    fi
    neighbour_intact || fail "the neighbour's key changed"
    ;;

  second-instance)
    "$bin/ZVNUM" &
    first=$!
    pids+=("$first")
    main_win="$(window_of "$first" '^Zorvik$')" || fail "the first ZVNUM showed no window"
    cp -p "$reg" "$tmp/before-second"
    sleep 1
    "$bin/ZVNUM" &
    second=$!
    pids+=("$second")
    box="$(window_of "$second" '^Zorvik$')" || fail "the second ZVNUM showed nothing"
    # A message box, not a second main window.
    eval "$(xdotool getwindowgeometry --shell "$box")"
    box_width=$WIDTH
    eval "$(xdotool getwindowgeometry --shell "$main_win")"
    [ "$box_width" -lt "$WIDTH" ] || fail "the second ZVNUM opened a main window"
    keys_to "$box" Return
    wait_end "$second" || fail "the second ZVNUM did not end after its message"
    [ "$ended_with" -eq 0 ] || fail "the second ZVNUM ended with status $ended_with"
    [ "$(stat -c %Y.%s "$reg")" = "$(stat -c %Y.%s "$tmp/before-second")" ] &&
      cmp -s "$reg" "$tmp/before-second" || fail "the second ZVNUM wrote the settings"
    kill -0 "$first" 2>/dev/null || fail "the first ZVNUM ended too"
    close_window "$main_win"
    wait_end "$first" || fail "the first ZVNUM did not end"
    [ "$(value_of PATH)" = "$photos" ] || fail "the first ZVNUM did not store its folder"
    ;;

  help-open-at-exit)
    # The help window has no owner; still open when the main window closes, it
    # must not keep the program running.
    run_zvnum "$bin/ZVNUM" help
    ;;

  *)
    fail "unknown case $case_name"
    ;;
esac

echo "ok: $case_name"
