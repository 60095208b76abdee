#!/usr/bin/env bash
# Builds the fuzz targets (clang, build-fuzz/) and runs each for SECONDS
# (default 300), two at a time, starting from the committed corpus.  New
# inputs are kept in build-fuzz/tests/fuzz/found/, crashes in .../crashes/.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
scripts/setup.sh build-fuzz -DDROMO_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DDROMO_FUZZ_SECONDS="$seconds"
cd build-fuzz
ctest -j2 -L fuzz --output-on-failure
