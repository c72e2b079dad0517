#!/usr/bin/env bash
# Installs what is missing, builds Ardivo optimised and runs its benchmark, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ./build-bench/bench/ardivo_bench
