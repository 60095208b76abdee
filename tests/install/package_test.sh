#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, its control data
# and file list checked, and what it ships run through lintian,
# desktop-file-validate and appstreamcli.  Usage: package_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool missing"; exit 1; }
done
scratch=$(mktemp -d /tmp/dromo-deb-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$scratch"/st-dromo_*.deb 2>/dev/null | head -n 1)
[ -f "$deb" ] || { echo "FAIL: no .deb made"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = st-dromo ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
for lib in libsdl2-2.0-0 libglu1-mesa libc6; do
  case "$depends" in *"$lib"*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done
case "$depends" in *libgl1* | *libopengl0*) ;; *) fail "Depends lacks the GL library: $depends" ;; esac
if nm -D "$build/dromo" 2>/dev/null | grep -q ' U alcOpenDevice'; then
  case "$depends" in *libopenal1*) ;; *) fail "Depends lacks libopenal1: $depends" ;; esac
fi

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/games/st-dromo ./usr/games/dromo-records ./usr/lib/games/st-dromo/dromo \
  ./usr/share/games/st-dromo/res/base/sig.txt ./usr/share/games/st-dromo/res/base/_tfonts.txt \
  ./usr/share/games/st-dromo/res/base/msgbase.txt ./usr/share/applications/st-dromo.desktop \
  ./usr/share/metainfo/st-dromo.metainfo.xml ./usr/share/man/man6/st-dromo.6.gz \
  ./usr/share/man/man6/dromo-records.6.gz ./usr/share/doc/st-dromo/copyright \
  ./usr/share/icons/hicolor/48x48/apps/st-dromo.png ./usr/share/icons/hicolor/64x64/apps/st-dromo.png \
  ./usr/share/icons/hicolor/128x128/apps/st-dromo.png ./usr/share/icons/hicolor/256x256/apps/st-dromo.png; do
  grep -qx -- "$f" <<<"$files" || fail "not in the package: $f"
done
if grep -E '^\./usr/local/|dromov2-|wsize\.txt|\.tmp' <<<"$files"; then fail "stray files in the package"; fi

lintian --fail-on error "$deb" >"$scratch/lintian.txt" 2>&1 || { cat "$scratch/lintian.txt"; fail "lintian"; }
mkdir "$scratch/root"
dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/st-dromo.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/st-dromo.metainfo.xml" >"$scratch/as.txt" 2>&1 ||
  { cat "$scratch/as.txt"; fail "appstreamcli validate"; }
for size in 48 64 128 256; do
  png=$scratch/root/usr/share/icons/hicolor/${size}x${size}/apps/st-dromo.png
  # The PNG header's width and height.
  dims=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ')
  want=" 0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))"
  [ "$dims" = "$want" ] || fail "icon ${size}: header says$dims"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "package: ok ($(basename "$deb"), Depends: $depends)"
