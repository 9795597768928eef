#!/usr/bin/env bash
# Measures, under Xvfb, the CPU time our program spends on one pointer move while an
# instrument is dragged (the ruler, the protractor, the compass and the set square, each slid),
# against the CPU time xournalpp spends on one pointer move while its pen draws. The pointer moves STEP pixels
# (2) every INTERVAL seconds (0.015), walking 100 moves one way and 100 back, so that every
# move is painted; SCALE=2 runs both programs at twice the size (QT_SCALE_FACTOR=2 against
# GDK_SCALE=2).
#   [STEP=2] [INTERVAL=0.015] [SCALE=1] [ONLY=ruler|protractor|compass|setsquare] \
#     [OPEN=drawing.tvk|worksheet.pdf] scripts/drag-compare.sh [MOVES] [PROGRAM]
# OPEN starts our program on that file (a worksheet under the sheets, say).
# Needs xvfb and xdotool (scripts/install-deps.sh installs them) and a build; installs
# xournalpp with apt-get when it is missing (it is only measured against, never needed).
set -euo pipefail
cd "$(dirname "$0")/.."
moves="${1:-1000}"
step="${STEP:-2}"
interval="${INTERVAL:-0.015}"
scale="${SCALE:-1}"
program="${2:-build/release/bin/tervasko}"
[ -x "$program" ] || { echo "no program at $program: build it first" >&2; exit 1; }
if ! command -v xournalpp >/dev/null; then
  echo "installing xournalpp for the comparison" >&2
  apt-get install -y xournalpp >/dev/null
fi

# A screen that holds the window at either size.
XVFB_SCREEN="$((1024 * scale))x$((768 * scale))x24" source scripts/xvfb-lib.sh
app=
trap 'kill $app "$xvfb" 2>/dev/null || true' EXIT

ticks_per_second=$(getconf CLK_TCK)
# User plus system CPU ticks of a process so far.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# Waits for a visible window whose name matches $2 of process $1; prints its id.
wait_window() {
  local window
  for _ in $(seq 300); do
    kill -0 "$1" 2>/dev/null || { echo "$2 ended before its window showed" >&2; exit 1; }
    window=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && { echo "$window"; return; }
    sleep 0.1
  done
  echo "no window of $2 showed" >&2
  exit 1
}

# Presses the left button at ($2, $3) inside window $1, moves $moves times $step pixels along
# x (100 moves one way, 100 back), releases; prints the process's CPU milliseconds per move,
# less what it spends idle over the same time.
measure() {
  local window=$1 x=$2 y=$3 pid=$4
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local ax=$((X + x)) ay=$((Y + y))
  local script=() i
  for ((i = 0; i < moves; i++)); do
    local k=$((i % 200)) off
    if ((k < 100)); then off=$(((k + 1) * step)); else off=$(((199 - k) * step)); fi
    script+=(mousemove "$((ax + off))" "$ay" sleep "$interval")
  done
  xdotool mousemove "$ax" "$ay" sleep 0.3
  # Idle: the same time with no input.
  local idle0 t0 idle1
  idle0=$(cpu_ticks "$pid")
  t0=$(date +%s.%N)
  xdotool sleep "$(awk -v n="$moves" -v t="$interval" 'BEGIN { print n * (t + 0.0005) }')"
  idle1=$(cpu_ticks "$pid")
  xdotool mousedown 1 sleep 0.2
  local before after t1 t2
  before=$(cpu_ticks "$pid")
  t1=$(date +%s.%N)
  xdotool "${script[@]}"
  sleep 0.3  # the last repaints
  after=$(cpu_ticks "$pid")
  t2=$(date +%s.%N)
  xdotool mouseup 1
  awk -v busy=$((after - before)) -v idle=$((idle1 - idle0)) -v n="$moves" \
    -v hz="$ticks_per_second" -v t0="$t0" -v t1="$t1" -v t2="$t2" -v idleEnd="$t1" 'BEGIN {
      idleRate = idle / (idleEnd - t0 > 0 ? idleEnd - t0 : 1)
      net = busy - idleRate * (t2 - t1)
      printf "%.3f ms CPU per move (%d ticks over %d moves, %.1f idle ticks subtracted)\n",
        net * 1000 / hz / n, busy, n, idleRate * (t2 - t1)
    }'
}

# Each instrument in its own run, with its slide tool chosen by its key (the ruler's is chosen
# at start); a slide needs no hit, so one press point serves all four. The set square is
# hidden at start: the view menu shows it, and the arrow keys lift it 60 mm into the window.
for instrument in "ruler:" "protractor:g" "compass:c" "setsquare:d"; do
  name=${instrument%%:*} key=${instrument#*:}
  # ONLY=name measures that instrument alone (and no xournalpp with ONLY set).
  [ -n "${ONLY:-}" ] && [ "$ONLY" != "$name" ] && continue
  # A home of its own: no recovery copy or setting of an earlier run comes up.
  ourhome=$(mktemp -d)
  HOME="$ourhome" QT_SCALE_FACTOR="$scale" "$program" ${OPEN:+"$OPEN"} &
  app=$!
  window=$(wait_window "$app" "Tervasko")
  xdotool windowsize "$window" $((1000 * scale)) $((700 * scale)) windowmove "$window" 0 0
  sleep 1.5
  if [ "$name" = setsquare ]; then
    xdotool mousemove $((136 * scale)) $((8 * scale)) click 1 sleep 0.5 \
      key Down Down Down Down Down Return sleep 0.5
  fi
  # A click beside the sheet (a slide of no length) takes the focus from the zoom field,
  # which would take the key as text.
  [ -n "$key" ] && xdotool mousemove $((900 * scale)) $((600 * scale)) click 1 sleep 0.2 \
    key "$key" sleep 0.3
  # The arrow keys go to the sheets once a click on them (a slide of no length) gave them the
  # focus.
  if [ "$name" = setsquare ]; then
    xdotool mousemove $((700 * scale)) $((600 * scale)) click 1 sleep 0.2 \
      key --repeat 60 --delay 10 Up sleep 0.5
  fi
  printf 'ours, %-11s dragged:  ' "$name"
  measure "$window" $((320 * scale)) $((330 * scale)) "$app"
  [ -n "${SHOT:-}" ] && import -window "$window" "$SHOT-$name.png"
  kill "$app"
  wait "$app" 2>/dev/null || true
  rm -rf "$ourhome"
done

[ -n "${ONLY:-}" ] && exit 0
home=$(mktemp -d)
HOME="$home" GDK_SCALE="$scale" xournalpp >/dev/null 2>&1 &
app=$!
window=$(wait_window "$app" "Xournal")
xdotool windowsize "$window" $((1000 * scale)) $((700 * scale)) windowmove "$window" 0 0
sleep 3
printf 'xournalpp, pen stroke:          '
measure "$window" $((400 * scale)) $((380 * scale)) "$app"
kill "$app"
wait "$app" 2>/dev/null || true
rm -rf "$home"
