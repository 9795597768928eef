#!/usr/bin/env bash
# Starts the program under Xvfb and saves a screenshot of its window.
#   scripts/screenshot.sh [OUT.png] [PROGRAM]
# Needs xvfb, xdotool and imagemagick (scripts/install-deps.sh installs them) and a build.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
program="${2:-build/release/bin/tervasko}"

source scripts/xvfb-lib.sh
app=
trap 'kill $app "$xvfb" 2>/dev/null || true' EXIT

"$program" &
app=$!
until window=$(xdotool search --onlyvisible --name "Tervasko" 2>/dev/null | head -n1) && [ -n "$window" ]; do
  kill -0 "$app" 2>/dev/null || { echo "the program ended before its window showed" >&2; exit 1; }
  sleep 0.05
done
sleep 1  # let the first paint finish
import -window "$window" "$out"
echo "saved $out"
