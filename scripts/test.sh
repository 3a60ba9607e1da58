#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test headless.
# Usage: scripts/test.sh [address|thread]   (sanitizer builds go to build-<name>)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
sanitize="${1:-}"
build="build${sanitize:+-$sanitize}"
cmake -S . -B "$build" -G Ninja -DSANITIZE="$sanitize" >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = address ]; then export LSAN_OPTIONS="suppressions=$PWD/cmake/lsan.supp"; fi
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
