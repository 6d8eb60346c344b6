#!/usr/bin/env bash
# Installs what is missing, builds Lumetra and starts it on its embedded default store.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target lumetra
exec ./build/bin/lumetra
