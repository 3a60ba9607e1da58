#!/usr/bin/env bash
# Installs what is missing, builds, and opens scanutil on the demo scanner. Without a
# display the window is rendered headless into a PNG file whose path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target scanutil
# A copy in the build folder, so the state the demo scanner keeps stays out of the sources.
cp resources/demo/demo.ini build/demo.ini
export SCANUTIL_SCENARIO="$PWD/build/demo.ini"
export SCANUTIL_PREFIX="${SCANUTIL_PREFIX:-$PWD/build/demo-prefix}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/utility/scanutil "$@"
fi
shot="$PWD/build/scanutil-demo.png"
script="$PWD/build/scanutil-demo.automation"
printf 'foreground none\nwait ticks 2\nscreenshot %s\n' "$shot" > "$script"
QT_QPA_PLATFORM=offscreen SCANUTIL_AUTOMATION="$script" build/utility/scanutil "$@"
echo "No display: the window was rendered into $shot"
