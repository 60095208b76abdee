#!/usr/bin/env bash
# Builds the Windows game (build-win/) and packs st-dromo-windows.zip: the
# two programs, the generated resources and a short README for players.
# Given a build folder, packs what is built there instead, without building.
# Usage: scripts/package-windows.sh [OUTPUT.zip [BUILD_DIR]]
set -euo pipefail
out=$(realpath -m "${1:-st-dromo-windows.zip}")
tree=${2:+$(realpath "$2")}
cd "$(dirname "$0")/.."
if [ -z "$tree" ]; then
  scripts/setup.sh build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
  tree=$PWD/build-win
fi
for f in dromo.exe dromo-records.exe res/base/msgbase.txt; do
  [ -e "$tree/$f" ] || { echo "package-windows: no $f in $tree" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/st-dromo"
cp "$tree/dromo.exe" "$tree/dromo-records.exe" "$stage/st-dromo/"
cp -r "$tree/res" "$stage/st-dromo/res"
cat > "$stage/st-dromo/README.txt" <<'TEXT'
st-DROMO for Windows

Start dromo.exe from this folder: it reads its pictures, fonts and texts
from the "res" folder beside it and keeps the records tables (files
dromov2-0201 ... dromov2-1206) here too.  No installation is needed.

Sound: put OpenAL32.dll from OpenAL Soft (64-bit), or its soft_oal.dll
as it comes, beside dromo.exe, or install OpenAL for the whole system.
Without it the game says so in two boxes and plays silently.

A file wsize.txt beside the game chooses the window size: line 2 is the
mode (0 ask, 1 first size, 2 second size, other: whole screen), lines 3 and
4 are two sizes "width height".

dromo-records.exe FILE prints a records table in a console window.
TEXT
sed -i 's/$/\r/' "$stage/st-dromo/README.txt"
rm -f "$out"
(cd "$stage" && cmake -E tar cf "$out" --format=zip st-dromo)
echo "$out"
