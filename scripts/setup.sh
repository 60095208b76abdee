#!/usr/bin/env bash
# Installs what is missing (Debian packages), then configures and builds
# one build tree.  Usage: scripts/setup.sh BUILD_DIR [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev
  libopenal-dev libfreetype-dev fonts-dejavu-core libgtest-dev libbenchmark-dev
  xvfb xfonts-base xdotool x11-utils libx11-dev libxtst-dev
  zlib1g-dev dpkg-dev lintian appstream desktop-file-utils
  g++-mingw-w64-x86-64-posix wine64 googletest
  clang-14 libclang-rt-14-dev
  libc6-dbg)  # glibc's symbols: the leak suppressions name its functions
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q </dev/null
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" -j2
