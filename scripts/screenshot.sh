#!/usr/bin/env bash
# Starts the program under Xvfb and saves a screenshot of the screen.
#   scripts/screenshot.sh [OUT.png] [PROGRAM]
# Needs xvfb, xdotool and imagemagick (scripts/install-deps.sh installs them) and a build.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
program="${2:-build/release/bin/tervasko}"

# Xvfb picks a free display number and tells it through a pipe.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
display=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
trap 'kill "$app" "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" &
app=$!
until window=$(xdotool search --onlyvisible --name "Tervasko" 2>/dev/null | head -n1) && [ -n "$window" ]; do
  sleep 0.05
done
sleep 1  # let the first paint finish
import -window "$window" "$out"
echo "saved $out"
