#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from the build tree.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh build
cd build && exec ./dromo
