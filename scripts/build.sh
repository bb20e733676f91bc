#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [extra cmake arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DIR="$1"; shift
cmake -S "$ROOT" -B "$DIR" -G Ninja "$@" > /dev/null
ninja -C "$DIR" -j"$(nproc)"
