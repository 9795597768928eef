#!/usr/bin/env bash
# Measures, as a user sees it, the time from launching the program until its main window is
# shown, under Xvfb, in German and in English (through options.dat in a copy of the program
# folder).   scripts/startup-time.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
bin="build/release/bin"

# Xvfb picks a free display number and tells it through a pipe.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
display=":$(head -n1 "$displayfile")"
rm -f "$displayfile"
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

for language in 0 1; do
  folder="$work/program-$language"
  mkdir -p "$folder"
  cp "$bin/tervasko" "$bin/translate.dbf" "$folder/"
  printf "\\x$(printf %02x "$language")\\x00\\x00\\x00" > "$folder/options.dat"
  total=0
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$folder/tervasko" &
    app=$!
    # Polled here: xdotool's own --sync waits half a second between its tries.
    until xdotool search --onlyvisible --name "Tervasko" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$app"; wait "$app" 2>/dev/null || true
    total=$((total + (end - start) / 1000000))
  done
  echo "language $language: $((total / runs)) ms from launch to the shown window (mean of $runs)"
done
