#!/usr/bin/env bash
# Configures and builds everything in Release into build/ (or $TESSARO_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESSARO_BUILD_DIR:-$root/build}"
jobs="${TESSARO_JOBS:-$(nproc)}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build" -j "$jobs"
