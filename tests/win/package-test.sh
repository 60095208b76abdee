#!/usr/bin/env bash
# The players' zip: made from the built tree, it holds both programs, every
# generated resource and a README with Windows line ends, and nothing else.
# Usage: package-test.sh SOURCE_DIR BUILD_DIR OBJDUMP
set -euo pipefail
src=$1
tree=$2
objdump=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$src/scripts/package-windows.sh" "$work/st-dromo-windows.zip" "$tree" >/dev/null
mkdir "$work/out"
(cd "$work/out" && cmake -E tar xf ../st-dromo-windows.zip)
fail=0
check() { "$@" || { echo "FAILED: $*"; fail=1; }; }
check test -f "$work/out/st-dromo/dromo.exe"
check test -f "$work/out/st-dromo/dromo-records.exe"
check cmp -s "$tree/dromo.exe" "$work/out/st-dromo/dromo.exe"
# Every generated resource, byte for byte.
check diff -r "$tree/res" "$work/out/st-dromo/res"
readme=$work/out/st-dromo/README.txt
check test -f "$readme"
check grep -q "OpenAL32.dll" "$readme"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
check test "$lines" -gt 5
check test "$lines" -eq "$crlf"
extra=$(cd "$work/out/st-dromo" && ls -A | grep -v -x -e dromo.exe -e dromo-records.exe -e res -e README.txt || true)
check test -z "$extra"
# The programs need no DLL beyond Windows' own.
imports=$("$objdump" -p "$work/out/st-dromo/dromo.exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  case "$dll" in
    kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | glu32.dll | msvcrt.dll | advapi32.dll | shell32.dll | winmm.dll | ole32.dll | api-ms-win-*) ;;
    *) echo "FAILED: dromo.exe imports $dll"; fail=1 ;;
  esac
done
# A missing program is refused, not packed.
mkdir "$work/empty"
if "$src/scripts/package-windows.sh" "$work/bad.zip" "$work/empty" >/dev/null 2>&1; then
  echo "FAILED: packed a tree without dromo.exe"
  fail=1
fi
check test ! -e "$work/bad.zip"
exit $fail
