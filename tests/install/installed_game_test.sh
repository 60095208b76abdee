#!/usr/bin/env bash
# The installed game as a player starts it: installs the build tree into a
# scratch prefix, runs the launcher with a scratch home on the X server of
# $DISPLAY, chooses a well shape with a real key press and looks for the
# records file in the player's folder.  Then the unusual homes: a damaged
# resources link, a home that cannot be written, two launches at once.
# Usage: installed_game_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "SKIP: needs an X server (DISPLAY)"; exit 77; }
command -v xdotool >/dev/null || { echo "FAIL: xdotool missing"; exit 1; }
scratch=$(mktemp -d /tmp/dromo-install-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  # Whatever still runs from this test's own prefix is ours too.
  for exe in /proc/[0-9]*/exe; do
    case "$(readlink "$exe" 2>/dev/null)" in
      "$scratch"/*) p=${exe#/proc/}; kill -9 "${p%/exe}" 2>/dev/null ;;
    esac
  done
  rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
launcher=$prefix/games/st-dromo
res=$prefix/share/games/st-dromo/res
for f in "$launcher" "$prefix/games/dromo-records" "$prefix/lib/games/st-dromo/dromo" \
  "$res/base/sig.txt" "$prefix/share/applications/st-dromo.desktop" \
  "$prefix/share/icons/hicolor/256x256/apps/st-dromo.png" "$prefix/share/man/man6/st-dromo.6.gz"; do
  [ -e "$f" ] || fail "not installed: ${f#"$prefix"/}"
done

# start NAME HOME XDG_DATA_HOME: the launcher from / in the background.
start() {
  local name=$1
  # env execs the launcher, which execs the game: one process id throughout.
  if [ -n "$3" ]; then
    env -C / HOME="$2" XDG_DATA_HOME="$3" ALSOFT_DRIVERS=null "$launcher" \
      >"$scratch/$name.out" 2>"$scratch/$name.err" &
  else
    env -C / -u XDG_DATA_HOME HOME="$2" ALSOFT_DRIVERS=null "$launcher" \
      >"$scratch/$name.out" 2>"$scratch/$name.err" &
  fi
  pids+=($!)
  eval "${name}_pid=$!"
}

# Window ids of the game's processes (the launcher execs the game).
window_of() {
  local pid=$1 w
  for _ in $(seq 200); do
    w=$(xdotool search --all --pid "$pid" --name '^st-DROMO$' 2>/dev/null | head -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# Presses Up on a window, as a player does, until FILE exists (the intro
# takes three seconds; the first press after it chooses the shape).
choose_shape() {
  local w=$1 file=$2
  for _ in $(seq 40); do
    [ -f "$file" ] && return 0
    xdotool windowfocus --sync "$w" 2>/dev/null
    xdotool keydown --window "$w" Up 2>/dev/null; sleep 0.12; xdotool keyup --window "$w" Up 2>/dev/null
    sleep 0.4
  done
  [ -f "$file" ]
}

stop() {
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# ---- a player's first game: the folder is made, the records land in it
home=$scratch/home
mkdir -p "$home"
start first "$home" "$scratch/data"
w=$(window_of "$first_pid") || fail "no window from the launcher: $(cat "$scratch/first.err")"
folder=$scratch/data/st-dromo
if [ -n "${w:-}" ]; then
  choose_shape "$w" "$folder/dromov2-0402" || fail "no records file in $folder"
fi
stop "$first_pid"
[ "$(stat -c %s "$folder/dromov2-0402" 2>/dev/null)" = 1280 ] || fail "records file is not 1280 bytes"
[ "$(readlink "$folder/res")" = "$res" ] || fail "res link: $(readlink "$folder/res")"
[ ! -e "/dromov2-0402" ] || fail "records written in the launcher's directory"
out=$(cd / && XDG_DATA_HOME=$scratch/data "$prefix/games/dromo-records" --shape 2 | head -n 1)
case "$out" in " 1 ---"*) ;; *) fail "dromo-records --shape 2 from / printed: $out" ;; esac
msg=$(cd / && XDG_DATA_HOME=$scratch/data "$prefix/games/dromo-records" --shape 5 2>&1)
case "$msg" in *"$folder"*) ;; *) fail "dromo-records does not say where it looked: $msg" ;; esac

# ---- the default folder under HOME, and a damaged link repaired
mkdir -p "$home/.local/share/st-dromo"
ln -s /nonexistent/res "$home/.local/share/st-dromo/res"
start second "$home" ""
w=$(window_of "$second_pid") || fail "no window with a damaged link: $(cat "$scratch/second.err")"
stop "$second_pid"
[ "$(readlink "$home/.local/share/st-dromo/res")" = "$res" ] || fail "damaged res link not repaired"

# ---- a home that cannot be written: one line, then a temporary folder
blocked=$scratch/not-a-folder
: >"$blocked"
start third "$blocked" "$blocked/data"
w=$(window_of "$third_pid") || fail "no window from a temporary folder: $(cat "$scratch/third.err")"
stop "$third_pid"
grep -q "records will not be kept" "$scratch/third.err" || fail "no word on the lost records: $(cat "$scratch/third.err")"
grep -q "playing from " "$scratch/third.err" || fail "does not say where it plays"
tmpdir=$(sed -n 's/^st-dromo: playing from //p' "$scratch/third.err")
[ -n "$tmpdir" ] && rm -rf "$tmpdir"

# ---- two launches at once into the same folder: both make the records file
# of the same shape at the same moment; it stays whole
rm -f "$folder/dromov2-0402"
start a "$home" "$scratch/data"
start b "$home" "$scratch/data"
wa=$(window_of "$a_pid") || fail "first of two: no window"
wb=$(window_of "$b_pid") || fail "second of two: no window"
sleep 3.5  # both intros
for _ in $(seq 20); do
  for w in ${wa:-} ${wb:-}; do
    xdotool windowfocus --sync "$w" 2>/dev/null
    xdotool keydown --window "$w" Up 2>/dev/null; sleep 0.12; xdotool keyup --window "$w" Up 2>/dev/null
  done
  [ -f "$folder/dromov2-0402" ] && break
  sleep 0.3
done
sleep 0.5
stop "$a_pid"
stop "$b_pid"
[ "$(stat -c %s "$folder/dromov2-0402" 2>/dev/null)" = 1280 ] || fail "records file not whole after two games"
XDG_DATA_HOME=/nonexistent "$prefix/games/dromo-records" "$folder/dromov2-0402" >/dev/null ||
  fail "records file damaged after two games"
leftovers=$(find "$folder" -name '*.tmp*' | wc -l)
[ "$leftovers" = 0 ] || fail "$leftovers temporary files left"

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "installed game: ok"
