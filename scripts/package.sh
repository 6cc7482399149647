#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package, then cpack.
# The package lands in build-package/ (tarvik_<version>_<arch>.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh dpkg-dev file
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build build-package --parallel "$(nproc)"
cd build-package
cpack -G DEB
ls -l ./*.deb
