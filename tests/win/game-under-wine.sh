#!/usr/bin/env bash
# The Windows game under Wine for the end-to-end tests.  Wine has no OpenAL,
# so the game, once its window is up, shows its two no-sound-device boxes
# ("Error", then "err") and waits; they are answered here as a player would
# answer them, so that the tests meet the game itself.  The boxes before the
# window (the window-size question, the missing-file ones) are left to the
# tests.  The game keeps this script's process id (exec), and the helper
# that answers ends with it.
# Usage: game-under-wine.sh WINE-RUN WINE PREFIX PROGRAM [ARGS...]
set -u
game=$$
# A player clicks into the box, then presses Return.  The click matters: a
# close request that came while the box was up leaves the game window
# active in Wine, and the keyboard with it.  The pointer goes back after.
answer() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return
  local back
  back=$(xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^[XY]=//p' | tr '\n' ' ')
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 3)) click 1
  sleep 0.2
  xdotool key Return
  # shellcheck disable=SC2086
  [ -n "$back" ] && xdotool mousemove $back
}
(
  for _ in $(seq 300); do
    kill -0 "$game" 2>/dev/null || exit 0
    xdotool search --onlyvisible --name '^st-DROMO$' >/dev/null 2>&1 && break
    sleep 0.1
  done
  answered=""
  for _ in $(seq 300); do
    kill -0 "$game" 2>/dev/null || exit 0
    for w in $(xdotool search --onlyvisible --name '^(Error|err)$' 2>/dev/null); do
      case " $answered " in *" $w "*) continue ;; esac
      answer "$w"
      answered="$answered $w"
    done
    [ "$(echo "$answered" | wc -w)" -ge 2 ] && exit 0
    sleep 0.1
  done
) </dev/null >/dev/null 2>&1 &
exec "$@"
