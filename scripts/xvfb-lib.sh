# Sourced by the scripts that show the program: starts Xvfb on a free display (it picks the
# number and tells it through a pipe) and exports DISPLAY and XDG_RUNTIME_DIR. Sets $xvfb.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not come up on $DISPLAY" >&2; kill "$xvfb"; exit 1; }
