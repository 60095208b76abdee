#!/usr/bin/env bash
# CPU share and peak memory of the game on its screens, against the floors,
# all at 800 x 600 under one Xvfb of their own, one after the other over the
# same span:
#   clear_swap  the cheapest GL window: clear and swap at the game's 10 ms
#               pacing (the CPU floor);
#   floor       the game's window with one blended textured quad a frame and
#               the sound device with a context (the memory floor);
#   choice      the game at the shape choice, untouched;
#   options     the options menu open over a game;
#   play        a game in play, a piece dropped every 0.93 s.
# With Mesa's software renderer this is what a player without a GPU driver
# pays.  A shared machine moves a single span by a fifth or more, so there
# are several rounds of all of them, each process started afresh, and the
# medians count.
#
# Usage: bench/cpu_share.sh [BUILD_DIR] [SECONDS] [DISPLAY_NUMBER] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
seconds=${2:-10}
dpy=${3:-190}
rounds=${4:-3}
for f in "$build/dromo" "$build/bench/clear_swap" "$build/bench/floor" "$build/res"; do
  [ -e "$f" ] || { echo "missing $f (build first)" >&2; exit 1; }
done

tmp=$(mktemp -d)
xvfb_pid=""
child=""
keys=""
cleanup() {
  [ -n "$keys" ] && kill "$keys" 2>/dev/null && wait "$keys" 2>/dev/null || true
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

# Samples the running child over $seconds into pm (per mille of a core) and
# kb (its peak resident memory so far).
pm=0
kb=0
measure() {
  local c0 c1
  c0=$(cpu_ticks "$child")
  sleep "$seconds"
  c1=$(cpu_ticks "$child")
  pm=$(((c1 - c0) * 1000 / (ticks * seconds)))
  kb=$(peak_kb "$child")
}

stop_child() {
  [ -n "$keys" ] && { kill "$keys" 2>/dev/null; wait "$keys" 2>/dev/null || true; keys=""; }
  kill "$child"
  wait "$child" 2>/dev/null || true
  child=""
}

# A floor program: started, given two seconds, measured.
run_floor() {
  # The game's sound goes to OpenAL Soft's null device here; so does the floor's.
  ALSOFT_DRIVERS=null "$build/bench/$1" $((seconds + 30)) 800 600 &
  child=$!
  sleep 2
  measure
  stop_child
}

# The game on one of its screens.
run_game() {
  local screen=$1
  rm -rf "$tmp/run"
  mkdir -p "$tmp/run"
  cp -r "$build/res" "$tmp/run/res"
  printf 'window size\n1\n800 600\n640 480\n' >"$tmp/run/wsize.txt"
  (cd "$tmp/run" && ALSOFT_DRIVERS=null exec "$build/dromo" >"$tmp/out.txt" 2>"$tmp/err.txt") &
  child=$!
  sleep 5  # the three-second intro, then the shape choice
  if [ "$screen" != choice ]; then
    xdotool key Up
    # The chosen shape's records file is written as play starts.
    for _ in $(seq 30); do [ -e "$tmp/run/dromov2-0402" ] && break; sleep 0.1; done
    [ -e "$tmp/run/dromov2-0402" ] || { echo "play did not start" >&2; exit 1; }
    sleep 1
  fi
  if [ "$screen" = options ]; then
    # Both buttons together open the menu.
    xdotool mousemove 400 300 mousedown 1 mousedown 3 sleep 0.4 mouseup 3 mouseup 1
    sleep 1
  fi
  if [ "$screen" = play ]; then
    (while :; do xdotool key Down; sleep 0.93; done) &
    keys=$!
  fi
  kill -0 "$child" 2>/dev/null || { echo "the game stopped:" >&2; cat "$tmp/err.txt" >&2; exit 1; }
  measure
  kill -0 "$child" 2>/dev/null || { echo "the game stopped while measured" >&2; exit 1; }
  stop_child
}

pct() { printf '%d.%d' $(($1 / 10)) $(($1 % 10)); }
median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { # a / b with two decimals, "-" when b is 0
  if [ "$2" -gt 0 ]; then
    local r=$(($1 * 100 / $2))
    printf '%d.%02d' $((r / 100)) $((r % 100))
  else
    printf -- '-'
  fi
}

runs="clear_swap floor choice options play"
declare -A cpu peak
for r in $runs; do cpu[$r]=""; peak[$r]=0; done
for round in $(seq "$rounds"); do
  line="round $round:"
  for r in $runs; do
    case $r in
      clear_swap | floor) run_floor "$r" ;;
      *) run_game "$r" ;;
    esac
    cpu[$r]="${cpu[$r]} $pm"
    [ "$kb" -gt "${peak[$r]}" ] && peak[$r]=$kb
    line="$line $r $(pct "$pm") %"
  done
  echo "$line"
done

declare -A med
for r in $runs; do med[$r]=$(echo "${cpu[$r]}" | median); done
echo
echo "| what runs | CPU, share of a core (median) | against clear_swap | peak RSS | above floor |"
echo "|---|---|---|---|---|"
for r in $runs; do
  echo "| $r | $(pct "${med[$r]}") % | $(ratio "${med[$r]}" "${med[clear_swap]}") × |" \
    "$((peak[$r] / 1024)) MB | $(((peak[$r] - peak[floor]) / 1024)) MB |"
done
