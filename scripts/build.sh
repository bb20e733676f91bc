#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [extra cmake arguments...]
# QUILLON_BUILD_TARGETS names the targets to build (default: all).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DIR="$1"; shift
cmake -S "$ROOT" -B "$DIR" -G Ninja "$@" > /dev/null
# shellcheck disable=SC2086 # a list of target names
ninja -C "$DIR" -j"$(nproc)" ${QUILLON_BUILD_TARGETS:-}
