#!/usr/bin/env bash
# CPU share and peak memory of the game in play against the cheapest GL
# window (bench/clear_swap: clear and swap at the game's 10 ms pacing), both
# at 800 x 600 under one Xvfb of their own, measured one after the other over
# the same span.  With Mesa's software renderer this is what a player
# without a GPU driver pays.  A shared machine moves a single span by a
# fifth or more, so there are several rounds of both, each process started
# afresh, and the medians count.
#
# Usage: bench/cpu_share.sh [BUILD_DIR] [SECONDS] [DISPLAY_NUMBER] [ROUNDS]
# Prints each round, then the median CPU share of a core and the peak RSS
# of each, and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
seconds=${2:-10}
dpy=${3:-190}
rounds=${4:-3}
for f in "$build/dromo" "$build/bench/clear_swap" "$build/res"; do
  [ -e "$f" ] || { echo "missing $f (build first)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=""
child=""
cleanup() {
  [ -n "$child" ] && kill "$child" 2>/dev/null && wait "$child" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb ":$dpy" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$dpy"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb :$dpy did not start" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
# utime + stime of a process (its threads, the renderer's included), in ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# Samples the running child over $seconds: prints "share_percent peak_kb".
measure() {
  local c0 c1
  c0=$(cpu_ticks "$child")
  sleep "$seconds"
  c1=$(cpu_ticks "$child")
  echo "$(( (c1 - c0) * 1000 / (ticks * seconds) ))" "$(peak_kb "$child")"
}

pct() { printf '%d.%d' $(($1 / 10)) $(($1 % 10)); }
median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
floor_all=""
game_all=""
floor_kb=0
game_kb=0
for round in $(seq "$rounds"); do
  # ---- the floor: clear and swap
  "$build/bench/clear_swap" $((seconds + 30)) 800 600 &
  child=$!
  sleep 2  # window up, first frames out
  read -r floor_pm floor_now_kb < <(measure)
  kill "$child"; wait "$child" 2>/dev/null || true; child=""

  # ---- the game: through the intro to the shape choice, Up starts play
  mkdir -p "$tmp/run"
  cp -r "$build/res" "$tmp/run/res"
  printf 'window size\n1\n800 600\n640 480\n' >"$tmp/run/wsize.txt"
  (cd "$tmp/run" && ALSOFT_DRIVERS=null exec "$build/dromo" >"$tmp/out.txt" 2>"$tmp/err.txt") &
  child=$!
  sleep 5  # the three-second intro, then the shape choice
  xdotool key Up
  # The chosen shape's records file is written as play starts.
  for _ in $(seq 30); do [ -e "$tmp/run/dromov2-0402" ] && break; sleep 0.1; done
  [ -e "$tmp/run/dromov2-0402" ] || { echo "play did not start" >&2; exit 1; }
  sleep 1
  kill -0 "$child" 2>/dev/null || { echo "the game stopped:" >&2; cat "$tmp/err.txt" >&2; exit 1; }
  read -r game_pm game_now_kb < <(measure)
  kill -0 "$child" 2>/dev/null || { echo "the game stopped while measured" >&2; exit 1; }
  kill "$child"; wait "$child" 2>/dev/null || true; child=""
  echo "round $round: clear_swap $(pct "$floor_pm") %, game $(pct "$game_pm") %"
  floor_all="$floor_all $floor_pm"
  game_all="$game_all $game_pm"
  [ "$floor_now_kb" -gt "$floor_kb" ] && floor_kb=$floor_now_kb
  [ "$game_now_kb" -gt "$game_kb" ] && game_kb=$game_now_kb
  rm -rf "$tmp/run"
done
floor_pm=$(echo "$floor_all" | median)
game_pm=$(echo "$game_all" | median)

echo "clear_swap: $(pct "$floor_pm") % of a core, peak RSS $((floor_kb / 1024)) MB"
echo "game:       $(pct "$game_pm") % of a core, peak RSS $((game_kb / 1024)) MB"
if [ "$floor_pm" -gt 0 ]; then
  r=$((game_pm * 100 / floor_pm))
  echo "CPU ratio game/clear_swap: $((r / 100)).$(printf '%02d' $((r % 100)))"
else
  echo "CPU ratio game/clear_swap: floor below measuring resolution"
fi
echo "peak RSS above clear_swap: $(((game_kb - floor_kb) / 1024)) MB"
