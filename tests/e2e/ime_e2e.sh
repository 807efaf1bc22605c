#!/usr/bin/env bash
# The start number typed with a Japanese input method switched on: the real
# ZVNUM on a virtual X display with ibus and its mozc engine. The front text
# takes the input method (a kana lands there), the start number does not (the
# digits arrive as typed), and the real run names the file with both.
#
#   ime_e2e.sh BIN-DIR
#
# Exit 77 (skipped) when Xvfb, xdotool, dbus-run-session, ibus-daemon, the
# mozc engine or Qt's ibus plugin is missing, or ibus does not come up.
#
# mozc's converter (mozc_server) will not run as root: started as root, the
# test runs itself as the unprivileged user "nobody", with every file it
# makes in a temporary folder of that user.
set -uo pipefail

bin="$(cd "$1" && pwd -P)"
here="$(cd "$(dirname "$0")" && pwd)"
limit=20  # seconds any one step may take

for tool in Xvfb xdotool python3 dbus-run-session ibus-daemon ibus; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -f /usr/share/ibus/component/mozc.xml ] || { echo "skipped: the mozc engine (ibus-mozc) is not installed"; exit 77; }
qt_plugins="$(dirname "$(dirname "$(readlink -f "$(ldd "$bin/ZVNUM" | awk '/libQt6Gui/ {print $3}')")")")"
ls "$qt_plugins"/qt6/plugins/platforminputcontexts/libibusplatforminputcontextplugin.so >/dev/null 2>&1 ||
  ls /usr/lib/*/qt6/plugins/platforminputcontexts/libibusplatforminputcontextplugin.so >/dev/null 2>&1 ||
  { echo "skipped: Qt's ibus plugin is not installed"; exit 77; }

if [ "$(id -u)" = 0 ]; then
  command -v runuser >/dev/null || { echo "skipped: running as root and runuser is missing"; exit 77; }
  id nobody >/dev/null 2>&1 || { echo "skipped: running as root and there is no user nobody"; exit 77; }
  exec runuser -u nobody -- bash "$0" "$bin"
fi

# ibus talks over the session bus: a bus of our own, gone when we end. The
# bus and everything it starts keep their files below $tmp.
if [ -z "${ZV_IME_TMP:-}" ]; then
  tmp="$(mktemp -d)"
  export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/run"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/zorvik/registry" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  ZV_IME_TMP="$tmp" exec dbus-run-session -- bash "$0" "$@"
fi
tmp="$ZV_IME_TMP"
. "$here/display.sh"
# ibus and the converter it started go with the display.
trap 'timeout 5 ibus exit >/dev/null 2>&1; stop_converter; cleanup' EXIT
stop_converter() {
  local p
  for p in $(pgrep -u "$(id -u)" -x mozc_server); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "HOME=$HOME" && kill "$p"
  done
}

fail() {
  echo "FAIL: $*" >&2
  ls -la "$photos" >&2 2>/dev/null
  exit 1
}

start_display

# mozc starts with its input method on, as a user who switched to it expects.
mkdir -p "$XDG_CONFIG_HOME/mozc"
cat >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'MOZC'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
MOZC
ibus-daemon --replace --panel=disable --daemonize >"$tmp/ibus.log" 2>&1
for _ in $(seq 1 $((limit * 5))); do
  timeout 5 ibus engine mozc-jp >/dev/null 2>&1
  [ "$(timeout 5 ibus engine 2>/dev/null)" = mozc-jp ] && break
  sleep 0.2
done
[ "$(timeout 5 ibus engine 2>/dev/null)" = mozc-jp ] || { echo "skipped: ibus with mozc did not come up"; exit 77; }

export QT_IM_MODULE=ibus
photos="$tmp/photos"
mkdir -p "$photos"
: >"$photos/a.txt"
root='HKEY_CURRENT_USER\Software\VB and VBA Program Settings'
cat >"$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg" <<REG
Windows Registry Editor Version 5.00

[$root\\Zorvik\\Setting]
"PATH"="$photos"

REG

"$bin/ZVNUM" &
zvnum=$!
pids+=("$zvnum")
win="$(window_of "$zvnum" '^Zorvik$')" || fail "ZVNUM showed no window"
timeout 10 xdotool windowfocus --sync "$win" || fail "could not focus ZVNUM"
sleep 1
keys() { timeout 20 xdotool key --delay 150 "$@" || fail "could not press $*"; }

# The focus starts on the source drive list (全選択 by its mnemonic leaves it
# there); eleven stops on is the front text, where "a" and Enter commit あ.
# Four stops on, the digit count goes to 3 (123 needs three digits); two more
# is the start number, selected whole, where the same input method is on.
keys alt+s
sleep 0.5
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab a Return
keys Tab Tab Tab Tab Up Up Tab Tab 1 2 3
keys alt+r
sleep 1
keys Return  # yes to 変換処理を開始しますか？
for _ in $(seq 1 $((limit * 10))); do
  [ -e "$photos/あ123.txt" ] && break
  sleep 0.1
done
[ -e "$photos/あ123.txt" ] || fail "the file was not renamed to あ123.txt"
close_window "$win"
echo "ok: ime"
