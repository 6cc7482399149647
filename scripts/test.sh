#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (build-test, together with the fuzz targets in fuzz/) and runs the whole
# test suite (offscreen, no display needed). scripts/fuzz.sh runs the fuzz
# targets of the same build; scripts/demo.sh makes a plain release build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang libclang-rt-dev
# A build folder configured for another compiler cannot be switched in place.
if [ -f build-test/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' build-test/CMakeCache.txt; then
  rm -rf build-test
fi
# ccache, when present, keeps rebuilds of an unchanged tree short.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CC=clang CXX=clang++ cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTVK_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build build-test
# Stop at the first error; leaks count as errors, except the known ones of the
# system's libraries listed in the suppression file.
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0}"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
