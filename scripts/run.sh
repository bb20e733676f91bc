#!/usr/bin/env bash
# Installs what is missing, builds the program (no tests, no benchmarks) and launches it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF > /dev/null
ninja -C "$ROOT/build" -j"$(nproc)" quillon
exec "$ROOT/build/src/shell/quillon" "$@"
