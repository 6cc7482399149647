#!/usr/bin/env bash
# Builds the tool and starts it against the bundled monitor simulator.
# The demo keeps its settings in .demo/ inside the checkout (never your own):
# Com1 is mapped to the in-process simulator of a version 2.25 monitor.
# Extra arguments replace the simulator's options, e.g.:
#   scripts/demo.sh version=1.38        an early monitor
#   scripts/demo.sh version=2.25,boot   a monitor in its boot block
#   scripts/demo.sh version=3.10        a flat panel (backlight, heater and fan)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build

options="${1:-version=2.25}"
export XDG_CONFIG_HOME="$PWD/.demo/config"
mkdir -p "$XDG_CONFIG_HOME"
conf="$XDG_CONFIG_HOME/Tarvikon.conf"
# (Re)point Com1 at the simulator and select it; everything else the tool
# stores there survives between demo runs.
first_run=1
if [ -f "$conf" ]; then
  first_run=0
  grep -v -E '^(Com1Device|CommPort)=' "$conf" > "$conf.tmp" || true
  mv "$conf.tmp" "$conf"
fi
printf '[Configs]\nCom1Device="sim:%s"\nCommPort=1\n' "$options" >> "$conf"
# The first demo run shows the traffic in the log window (Diagnostics > Comm Logging).
[ "$first_run" = 1 ] && printf 'CommLogEnabled=True\n' >> "$conf"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "The tool is built (build/src/app/tarvik), but there is no display to show it on." >&2
  echo "Run the demo on a virtual display instead:" >&2
  echo "  sudo apt-get install -y xvfb && xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi
echo "Starting the tool; settings in $XDG_CONFIG_HOME, Com1 = sim:$options"
exec build/src/app/tarvik
