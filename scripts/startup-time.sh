#!/usr/bin/env bash
# Measures, as a user sees it, the time from launching the program until its main window is
# shown, under Xvfb, in German and in English (through options.dat in a copy of the program
# folder).   scripts/startup-time.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
bin="build/release/bin"

work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
source scripts/xvfb-lib.sh
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

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
    until xdotool search --onlyvisible --name "Tervasko" >/dev/null 2>&1; do
      kill -0 "$app" 2>/dev/null || { echo "the program ended before its window showed" >&2; exit 1; }
      sleep 0.005
    done
    end=$(date +%s%N)
    kill "$app"; wait "$app" 2>/dev/null || true
    total=$((total + (end - start) / 1000000))
  done
  echo "language $language: $((total / runs)) ms from launch to the shown window (mean of $runs)"
done
