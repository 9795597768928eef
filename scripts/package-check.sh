#!/usr/bin/env bash
# Builds the Debian package from the release build and checks it as a user would meet it:
# the desktop entry, the AppStream data and the package itself pass their validators
# (lintian errors fail, its warnings are shown), the dependencies resolve, and the program,
# unpacked into a read-only folder, comes up under Xvfb as an ordinary user, opens a drawing
# named on its command line and keeps its settings (the language, the translation table, the
# recent files) in that user's configuration folder, never beside itself. The thumbnailer's command makes a picture of the drawing.
#   scripts/package-check.sh        (after `cmake --preset release`; builds what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release

cmake --preset release >/dev/null
cmake --build --preset release --target tervasko tervasko-export packaging_docs
rm -f "$build"/tervasko_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tervasko_*.deb)
echo "== package $deb"

work=$(mktemp -d)
chmod 755 "$work"  # the ordinary user must reach what lies inside
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package check: $*" >&2; exit 1; }

echo "== desktop entry, AppStream data"
desktop-file-validate packaging/*.desktop
appstreamcli validate --no-net "$build"/packaging/*.metainfo.xml

echo "== lintian"
# Running as root is what CI does; lintian only warns about it.
lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian found errors"

echo "== dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6pdf6 libshp2 qt6-qpa-plugins fonts-liberation2; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
apt-get install --simulate -qq "./$deb" >/dev/null || fail "the package's dependencies do not resolve"

echo "== unpacked program in a read-only folder, as an ordinary user"
root="$work/root"
dpkg-deb -x "$deb" "$root"
export HOME="$work/home"
mkdir -p "$HOME"
cp tests/package/circle.tvk "$HOME/"
chown -R 65534:65534 "$HOME"
chmod -R a-w "$root"
unset XDG_CONFIG_HOME QT_QPA_PLATFORM  # the program shows on the X server below
as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"; }
as_user test ! -w "$root/usr/bin" || fail "the unpacked folder is writable"

as_user "$root/usr/bin/tervasko-export" --size 128 "$HOME/circle.tvk" "$HOME/thumbnail" ||
  fail "the thumbnailer's command failed"
file "$HOME/thumbnail" | grep -q 'PNG image data, 90 x 128' || fail "thumbnail: $(file "$HOME/thumbnail")"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
chown 65534:65534 "$XDG_RUNTIME_DIR"
# A server of its own that lets the ordinary user in (-ac), on a display it picks itself.
displayfile="$work/display"
Xvfb -displayfd 3 -ac -screen 0 1024x768x24 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
[ -s "$displayfile" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$displayfile")"
# From a folder of its own nobody may write to; the user's configuration folder is made.
(cd "$root/usr/bin" && exec setpriv --reuid=65534 --regid=65534 --clear-groups -- \
  ./tervasko "$HOME/circle.tvk") 2>"$work/stderr" &
app=$!
for _ in $(seq 200); do
  xdotool search --onlyvisible --name 'circle.tvk' >/dev/null 2>&1 && break
  kill -0 "$app" 2>/dev/null || { cat "$work/stderr" >&2; fail "the program ended before its window showed"; }
  sleep 0.05
done
xdotool search --onlyvisible --name 'circle.tvk' >/dev/null 2>&1 ||
  { cat "$work/stderr" >&2; fail "no window with the drawing's name in its title"; }
# "Sprache" > "English", by the pointer and the keys as a user would choose it: the language
# is saved at once.
# The first menu is at the menu bar's left end whatever the fonts; the keys walk from there
# to the fourth menu, "Sprache", whose first item is then the active one.
window=$(xdotool search --onlyvisible --name 'circle.tvk' | head -n1)
xdotool mousemove --window "$window" 12 10 click 1
sleep 0.3
xdotool key Right Right Right
sleep 0.3
xdotool key Down Return
for _ in $(seq 100); do [ -e "$HOME/.config/tervasko/options.dat" ] && break; sleep 0.05; done
kill "$app"; wait "$app" 2>/dev/null || true
app=

config="$HOME/.config/tervasko"
[ "$(stat -c %a "$config")" = 700 ] || fail "$config is not private: $(stat -c %a "$config")"
[ -s "$config/translate.dbf" ] || fail "no translation table in $config"
grep -qa "Recent Files" "$config/translate.dbf" ||
  fail "the table in $config lacks the shipped translations"
[ "$(od -An -tx1 "$config/options.dat" 2>/dev/null | tr -d ' ')" = 01000000 ] ||
  fail "choosing English did not write options.dat into $config"
grep -q "circle.tvk" "$config/tervasko.conf" || fail "the recent files in $config/tervasko.conf lack the drawing"
extra=$(find "$root" -newer "$deb" ! -type d | head -n1)
[ -z "$extra" ] || fail "the program wrote beside itself: $extra"
echo "package check passed"
