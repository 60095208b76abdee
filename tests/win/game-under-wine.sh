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
      xdotool key --window "$w" Return 2>/dev/null
      answered="$answered $w"
    done
    [ "$(echo "$answered" | wc -w)" -ge 2 ] && exit 0
    sleep 0.1
  done
) </dev/null >/dev/null 2>&1 &
exec "$@"
