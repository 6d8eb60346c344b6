#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test headless and checks the package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs="$(nproc)"
# Compiler cache entries keyed by paths relative to the checkout, so another clone reuses them.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
# The plain core (records, hive, protocol, texts) must build and pass without Qt.
cmake -S . -B build-core -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMETRA_WITH_QT=OFF -DLUMETRA_BUILD_BENCH=OFF
cmake --build build-core -j"$jobs"
ctest --test-dir build-core --output-on-failure -j2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
# The Debian package, made from the same Release build, unpacked and started.
bash scripts/check-package.sh build
