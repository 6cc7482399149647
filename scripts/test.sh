#!/usr/bin/env bash
# Builds everything and runs the whole test suite (offscreen, no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-test
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
