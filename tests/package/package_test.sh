#!/usr/bin/env bash
# Builds the package with scripts/package, checks its fields and lintian,
# installs it with apt-get, starts the installed program under an Xvfb of
# its own in a fresh directory and ends it with Escape, validates the
# installed desktop files, then purges it: none of its paths may be left.
# Arguments: the source tree, the project's version.
set -euo pipefail
root=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
apt() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" >/dev/null; }
installed() { dpkg-query -W -f='${Status}' kanaroku 2>/dev/null | grep -q 'ok installed'; }
# A kanaroku the user installed is not this test's to purge.
if installed; then echo "kanaroku is installed on this system; remove it to run this test" >&2; exit 77; fi
work=$(mktemp -d)
cleanup() {
  [ -z "${program:-}" ] || kill "$program" 2>/dev/null || true
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  ! installed || apt purge kanaroku
  rm -rf "$work"
}
trap cleanup EXIT

deb=$("$root/scripts/package" | tail -n 1)
[ "$deb" = "$root/dist/kanaroku_${version}_$(dpkg --print-architecture).deb" ] || fail "built '$deb'"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//')
recommends=$(dpkg-deb -f "$deb" Recommends | tr ',' '\n' | sed 's/^ *//')
for want in fonts-ipafont-gothic fonts-ipaexfont-mincho fonts-ipaexfont-gothic qt6-translations-l10n; do grep -qx "$want" <<<"$depends" || fail "Depends lacks $want"; done
# The libraries, versioned as dpkg-shlibdeps reads them from symbols files.
for lib in libc6 libqt6widgets6 libicu72; do grep -q "^$lib (>= " <<<"$depends" || fail "Depends lacks $lib"; done
for want in 'fcitx5-frontend-qt6 | ibus' qt6-wayland; do grep -qxF "$want" <<<"$recommends" || fail "Recommends lacks $want"; done
lintian --fail-on error,warning "$deb"

# The dependencies are in debian-packages.txt, so no download is needed.
apt install --no-install-recommends "$deb"
dpkg -L kanaroku | grep -vx '/\.' > "$work/paths"
metainfo=/usr/share/metainfo/io.github.kanaroku.kanaroku.metainfo.xml
for path in /usr/bin/kanaroku /usr/bin/kanaroku-vcard /usr/bin/kanaroku-hagaki /usr/share/applications/kanaroku.desktop "$metainfo" \
    /usr/share/icons/hicolor/{16x16,32x32}/apps/kanaroku.png /usr/share/doc/kanaroku/{copyright,changelog.gz}; do
  grep -qx "$path" "$work/paths" && [ -f "$path" ] || fail "not installed: $path"
done
desktop-file-validate /usr/share/applications/kanaroku.desktop
appstreamcli validate --no-net "$metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"

mkdir "$work/fresh" "$work/xdg"
chmod 700 "$work/xdg"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>/dev/null & xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/xdg" LANG=C.UTF-8
unset WAYLAND_DISPLAY QT_IM_MODULE
(cd "$work/fresh" && exec /usr/bin/kanaroku) > "$work/log" 2>&1 & program=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$program" | head -n 1) || fail "no window: $(cat "$work/log")"
for _ in $(seq 300); do [ "$(xdotool getwindowfocus)" = "$window" ] && break; sleep 0.1; done
xdotool key Escape
for _ in $(seq 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$program" 2>/dev/null || fail "still running 30 s after Escape"
status=0; wait "$program" || status=$?
program=
[ "$status" = 0 ] || fail "kanaroku ended with status $status: $(cat "$work/log")"
[ -f "$work/fresh/AddressTable.csv" ] || fail "no AddressTable.csv in the directory it was started in"
(cd "$work/fresh" && /usr/bin/kanaroku-vcard export everyone.vcf) || fail "the installed kanaroku-vcard failed"
cp "$root/examples/AddressTable.csv" "$work/fresh/AddressTable.csv"
(cd "$work/fresh" && /usr/bin/kanaroku-hagaki cards.pdf >/dev/null) || fail "the installed kanaroku-hagaki failed"

apt purge kanaroku
! installed || fail "still installed after the purge"
# Gone, but for directories that other packages own too.
while read -r path; do
  [ ! -e "$path" ] || { [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1; } || fail "left behind: $path"
done < "$work/paths"
echo "package: built, installed, started, ended with 0 on Escape, purged without a trace"
