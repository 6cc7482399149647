#!/usr/bin/env bash
# Builds the tool and starts it against the bundled monitor simulator.
# The demo keeps its settings in .demo/config inside the checkout (never your
# own) and maps Com1 to the simulator of a version 2.25 monitor for the run
# (nothing about the port is stored). Extra arguments replace the simulator's
# options, e.g.:
#   scripts/demo.sh version=1.38        an early monitor
#   scripts/demo.sh version=2.25,boot   a monitor in its boot block
#   scripts/demo.sh version=3.10        a flat panel (backlight, heater and fan)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build build

options="${1:-version=2.25}"
settings="$PWD/.demo/config"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "The tool is built (build/src/app/tarvik), but there is no display to show it on." >&2
  echo "Run the demo on a virtual display instead:" >&2
  echo "  sudo apt-get install -y xvfb && xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi
echo "Starting the tool; settings in $settings, Com1 = sim:$options"
exec build/src/app/tarvik --settings "$settings" --demo "$options"
