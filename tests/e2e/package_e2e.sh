#!/usr/bin/env bash
# The Debian package as a user gets it: packs the finished build with cpack
# (nothing is compiled), installs the package into a scratch root, checks its
# files against the expected layout and its dependencies, runs the desktop's
# validators and lintian (their reports stay in the test log), starts the
# installed ZVNUM on a virtual display, where it must find its own folder and
# help without the build folder, and removes the package again.
#
#   package_e2e.sh BUILD-DIR PROGRAM-DIR BIN-DIR
#
# Exit 77 (skipped) when a tool it needs is missing.
set -uo pipefail

build="$(cd "$1" && pwd -P)"
program_dir="$2"
bin_dir="$3"
here="$(cd "$(dirname "$0")" && pwd)"
limit=20

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli fc-match Xvfb openbox xprop xdotool python3 readelf; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

tmp="$(mktemp -d)"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
. "$here/display.sh"

echo "--- cpack"
cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log"
  fail "cpack failed"
}
debs=("$tmp"/out/zorvik_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single zorvik_<version>_amd64.deb: ${debs[*]}"
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "zorvik_${version}_amd64.deb" ] || fail "$(basename "$deb") does not carry version $version"
echo "$(basename "$deb")"

# Installed into a scratch root with dpkg's own database, as apt would install it
# (the libraries it depends on are the machine's, not the root's); dpkg -x
# where we may not install.
root="$tmp/root"
admin="$root/var/lib/dpkg"
dpkg_root() {
  dpkg --root="$root" --log="$tmp/dpkg.log" "$@" >>"$tmp/dpkg.out" 2>&1 || {
    cat "$tmp/dpkg.out"
    fail "dpkg $* failed"
  }
}
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p "$admin/info" "$admin/updates"
  : >"$admin/status"
  dpkg_root --force-depends --install "$deb"
else
  echo "not root: unpacked with dpkg -x, removal not checked"
  dpkg -x "$deb" "$root" || fail "dpkg -x failed"
fi
cmake -DROOT="$root/usr" -DPROGRAM_DIR="$program_dir" -DBIN_DIR="$bin_dir" \
  -P "$here/../mainwindow/InstallLayout.cmake" || fail "the package's files differ from the layout"

# Nothing may lead back to the build: no run path, every library resolved.
for program in ZVNUM ZVPURGE; do
  file="$root/usr/$program_dir/$program"
  readelf -d "$file" | grep -E 'RPATH|RUNPATH' && fail "$program carries a run path"
  ldd "$file" | grep 'not found' && fail "$program needs a library that is not there"
done

# Whatever ZVNUM loads at run time comes from a package the package depends on.
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
font="$(fc-match -f '%{file}' 'Noto Sans CJK JP')"
for data in /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/qt6/translations/qtbase_ja.qm "$font" \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/iconengines/libqsvgicon.so \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so; do
  owner="$(dpkg -S "$data" 2>/dev/null | head -n1 | cut -d: -f1)"
  [ -n "$owner" ] || fail "no installed package holds $data"
  grep -qE "(^|, )$owner( |,|$)" <<<"$depends" || fail "$data comes from $owner, which the package does not depend on"
done

echo "--- desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/zorvik.desktop" || fail "desktop-file-validate found faults"
echo "--- appstreamcli validate"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli found faults"
echo "--- lintian"
# Warnings and notes are shown; only errors fail.
lintian --display-info --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian found errors"

echo "--- the installed ZVNUM"
start_display
run_zvnum "$root/usr/$bin_dir/ZVNUM" help
# With nothing stored it starts in, and stores, its own folder: the installed one.
grep -qF "\"PATH\"=\"$root/usr/$program_dir\"" "$XDG_CONFIG_HOME/zorvik/registry/HKEY_CURRENT_USER.reg" ||
  fail "ZVNUM did not start in its installed folder"

if [ -d "$admin" ]; then
  dpkg_root --purge zorvik
  left="$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" -not -path "$admin*")"
  [ -z "$left" ] || fail "removing the package left behind: $left"
fi

echo "ok"
