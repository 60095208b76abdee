#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix, with
# no debug chatter and no Mono/Gecko installer dialogs.
# Usage: wine-run.sh WINE PREFIX PROGRAM [ARGS...]
set -euo pipefail
wine=$1
export WINEPREFIX=$2
shift 2
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# No sound device is opened by the tests.
export ALSOFT_DRIVERS=null
exec "$wine" "$@"
