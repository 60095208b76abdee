#!/usr/bin/env bash
# Builds the Windows game (build-win/) and packs st-dromo-windows.zip: the
# two programs, the generated resources and a short README for players.
# Usage: scripts/package-windows.sh [OUTPUT.zip]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-st-dromo-windows.zip}")
scripts/setup.sh build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/st-dromo"
cp build-win/dromo.exe build-win/dromo-records.exe "$stage/st-dromo/"
cp -r build-win/res "$stage/st-dromo/res"
cat > "$stage/st-dromo/README.txt" <<'TEXT'
st-DROMO for Windows

Start dromo.exe from this folder: it reads its pictures, fonts and texts
from the "res" folder beside it and keeps the records tables (files
dromov2-0201 ... dromov2-1206) here too.  No installation is needed.

Sound: put OpenAL32.dll from
OpenAL Soft (64-bit), or its soft_oal.dll renamed to OpenAL32.dll, beside
dromo.exe.  Without it the game plays silently.

A file wsize.txt beside the game chooses the window size: line 2 is the
mode (0 ask, 1 first size, 2 second size, other: whole screen), lines 3 and
4 are two sizes "width height".

dromo-records.exe FILE prints a records table in a console window.
TEXT
sed -i 's/$/\r/' "$stage/st-dromo/README.txt"
rm -f "$out"
(cd "$stage" && cmake -E tar cf "$out" --format=zip st-dromo)
echo "$out"
