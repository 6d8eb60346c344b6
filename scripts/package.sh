#!/usr/bin/env bash
# Installs what is missing, builds Release and makes the Debian package build/lumetra_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
ls build/lumetra_*.deb
