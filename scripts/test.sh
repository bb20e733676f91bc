#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test headless in three
# builds: normal, AddressSanitizer + UndefinedBehaviorSanitizer, ThreadSanitizer.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$ROOT/tests/sanitizer/tsan.supp"

run_tree() {
  local name="$1"; shift
  local dir="$ROOT/build-test-$name"
  local start=$SECONDS
  echo "=== $name build ==="
  bash "$ROOT/scripts/build.sh" "$dir" -DQUILLON_BUILD_BENCH=OFF "$@"
  (cd "$dir" && ctest --output-on-failure --timeout 1500)
  echo "=== $name: $((SECONDS - start)) s ==="
}

run_tree normal -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_tree asan -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DQUILLON_SANITIZE=address,undefined"
run_tree tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_SANITIZE=thread
