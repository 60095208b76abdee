#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# in build/, in build-asan/ under AddressSanitizer + UBSan, the Windows build
# under Wine in build-win/ and the fuzz targets in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh build
scripts/setup.sh build-asan -DDROMO_SANITIZE=ON -DDROMO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
# The Windows build, tested under Wine (its end-to-end tests use build/'s programs).
scripts/setup.sh build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The file parsers' fuzz targets: clang, their own tree.
scripts/setup.sh build-fuzz -DDROMO_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  # Pick a free display number and start a private X server for the GL and
  # end-to-end tests.
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${n}" ] && break; sleep 0.1; done
      break
    fi
  done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
# use_tls=0: GCC 12's leak checker takes any thread-local block of a loaded
# library that malloc happens to place 16 bytes into a page for a glibc 2.19
# block with a header, reads a made-up address range from it and crashes at
# exit (seen in GL tests, depending on where earlier allocations landed).
# Without thread-local roots it can only report more, never less; glibc's own
# per-thread data (the loader's lists, dlerror's message) is suppressed in
# lsan.supp.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0:use_tls=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
(cd build && ctest --output-on-failure -j2) || status=1
(cd build-asan && ctest --output-on-failure -j2) || status=1
(cd build-win && ctest --output-on-failure -j2) || status=1
(cd build-fuzz && ctest --output-on-failure -j2) || status=1
exit $status
