#!/usr/bin/env bash
# Installs what is missing, builds Quillon and launches it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" "$ROOT/build" -DCMAKE_BUILD_TYPE=Release
exec "$ROOT/build/src/shell/quillon" "$@"
