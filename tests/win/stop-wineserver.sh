#!/usr/bin/env bash
# Stops the wineserver of the build tree's prefix and every Windows process
# it still serves; nothing running is no error.
# Usage: stop-wineserver.sh WINESERVER PREFIX
export WINEPREFIX=$2
"$1" -k 2>/dev/null || true
# Returns once the server is gone.
"$1" -w 2>/dev/null || true
