#!/usr/bin/env bash
# Configures and builds in Release into build/ (extra CMake options pass through).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build --parallel "$(nproc)"
