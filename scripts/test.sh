#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test headless in three
# builds: normal, AddressSanitizer + UndefinedBehaviorSanitizer, ThreadSanitizer.
# Every tree runs even when an earlier one failed; the script fails when any
# build, test or sanitizer report failed or a test was skipped (see
# allowed_skips), and prints each tree's duration. The ThreadSanitizer tree
# builds and runs only the suites that run more than one thread.
#   scripts/test.sh [normal] [asan] [tsan]     (default: all three)
# The trees are build-test-normal, -asan and -tsan; QUILLON_TEST_BUILD_PREFIX
# replaces "build-test" with another path.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh" || exit 1
# The sanitizer trees are built with clang and lld: they compile the tests in
# half the time GCC takes, and clang's ThreadSanitizer runs the threaded suites
# in half the time too. GCC builds the normal tree, the one that is shipped.
# They install while the normal tree builds (see sanitizer_compiler_ready).
# shellcheck source=scripts/lib/packages.sh
source "$ROOT/scripts/lib/packages.sh"
export QT_QPA_PLATFORM=offscreen
# A report ends the process with a failure status: ASan and UBSan abort at the
# first error (the code is built with -fno-sanitize-recover=all), LeakSanitizer
# fails the exit status at exit, ThreadSanitizer stops at the first race.
# tests/reliability runs a deliberate fault of each kind and checks that it is
# reported and fails its process under exactly these options.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$ROOT/tests/sanitizer/tsan.supp"

# Skipped tests fail the run, except these: each sanitizer canary commits its
# fault only in the tree of its sanitizer and skips itself in the others.
allowed_skips() {
  case "$1" in
    normal) echo "SanitizerCanary.AddressErrorsAndLeaksInOurCodeFailTheRun" \
                 "SanitizerCanary.UndefinedBehaviourFailsTheRun SanitizerCanary.DataRacesInOurThreadsFailTheRun" ;;
    asan) echo "SanitizerCanary.DataRacesInOurThreadsFailTheRun" ;;
    tsan) echo "SanitizerCanary.AddressErrorsAndLeaksInOurCodeFailTheRun SanitizerCanary.UndefinedBehaviourFailsTheRun" ;;
  esac
}

# Reads the GoogleTest reports of one tree (one per ctest entry): fails on a
# skip not allowed above, on a test binary that ran no test (a filter that
# matches nothing) and on a missing report.
check_reports() {
  local tree="$1" reports="$2" expected="$3" bad=0 f t
  local files=("$reports"/*.xml)
  if [ ! -e "${files[0]}" ]; then
    echo "no GoogleTest report in $reports"
    return 1
  fi
  if [ "${#files[@]}" != "$expected" ]; then
    echo "${#files[@]} GoogleTest reports in $reports for $expected ctest entries"
    bad=1
  fi
  for f in "${files[@]}"; do
    if grep -q '<testsuites tests="0"' "$f"; then
      echo "no test ran: $f"
      bad=1
    fi
  done
  while read -r t; do
    [ -n "$t" ] || continue
    if [[ " $(allowed_skips "$tree") " == *" $t "* ]]; then
      echo "skipped (allowed in this tree): $t"
    else
      echo "SKIPPED: $t"
      bad=1
    fi
  done < <(sed -n '/<testcase [^>]*result="skipped"/s/.*<testcase name="\([^"]*\)".* classname="\([^"]*\)".*/\2.\1/p' "${files[@]}")
  return $bad
}

declare -a SUMMARY=()
FAILED=0
TOTAL_PASSED=0
TOTAL_FAILED=0

tree_dir() { echo "${QUILLON_TEST_BUILD_PREFIX:-$ROOT/build-test}-$1"; }

# The cmake arguments of each tree.
tree_args() {
  case "$1" in
    normal) TREE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "$RELEASE_FLAGS" "$LINK_FLAGS") ;;
    # float-cast-overflow is not part of GCC's "undefined" group; every
    # float-to-int conversion must be guarded, so it is checked too.
    asan) TREE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "$SANITIZE_FLAGS" "${CLANG_ARGS[@]}"
                     "-DQUILLON_SANITIZE=address,undefined,float-cast-overflow") ;;
    tsan) TREE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "$SANITIZE_FLAGS" "${CLANG_ARGS[@]}"
                     -DQUILLON_SANITIZE=thread -DQUILLON_TESTS_THREADS_ONLY=ON) ;;
    *) return 1 ;;
  esac
}

# Installs the sanitizer trees' compiler in the background.
CLANG_PID=""
CLANG_STATUS=0
CLANG_LOG=$(mktemp)
trap 'rm -f "$CLANG_LOG"' EXIT
start_sanitizer_compiler_install() {
  # llvm brings llvm-symbolizer: clang's sanitizers need it for the function,
  # file and line of each frame of a report.
  install_missing_packages clang lld libclang-rt-14-dev llvm > "$CLANG_LOG" 2>&1 &
  CLANG_PID=$!
}
# Waits for that install; fails when it failed.
sanitizer_compiler_ready() {
  if [ -n "$CLANG_PID" ]; then
    wait "$CLANG_PID"
    CLANG_STATUS=$?
    CLANG_PID=""
    cat "$CLANG_LOG"
  fi
  return "$CLANG_STATUS"
}

# Builds a tree in the background at the given niceness; its output goes to
# build.log in the tree and its status and seconds to build.result.
declare -A BUILD_PID=()
start_build() {
  local name="$1" niceness="$2" dir
  dir=$(tree_dir "$name")
  tree_args "$name"
  mkdir -p "$dir"
  rm -f "$dir/build.result"
  if [ "$name" != normal ] && ! sanitizer_compiler_ready; then
    echo "could not install clang, lld, libclang-rt-14-dev and llvm" > "$dir/build.log"
    echo "1 0" > "$dir/build.result"
    ( exit 1 ) &
    BUILD_PID[$name]=$!
    return
  fi
  # The normal tree builds everything, so CI sees any build break; the
  # sanitizer trees build only what the tests run.
  local targets=""
  [ "$name" = normal ] || targets=quillon_tests
  (
    begin=$SECONDS
    QUILLON_BUILD_TARGETS="$targets" nice -n "$niceness" bash "$ROOT/scripts/build.sh" "$dir" \
      -DQUILLON_BUILD_BENCH=OFF "${TREE_ARGS[@]}" > "$dir/build.log" 2>&1
    echo "$? $((SECONDS - begin))" > "$dir/build.result"
  ) &
  BUILD_PID[$name]=$!
}

run_tree() {
  local name="$1" dir status=0 phase="" build_seconds=0
  dir=$(tree_dir "$name")
  [ -n "${BUILD_PID[$name]:-}" ] || start_build "$name" 0
  wait "${BUILD_PID[$name]}"
  echo "=== $name build ==="
  # Only the end of a build that went well: ninja's progress lines are many.
  local result
  result=$(cat "$dir/build.result" 2>/dev/null || echo "1 0")
  build_seconds=${result#* }
  if [ "${result% *}" -eq 0 ]; then
    tail -n 3 "$dir/build.log"
  else
    cat "$dir/build.log"
    status=1; phase=" (build failed)"
  fi
  # The next tree builds while this one's tests run, below their priority:
  # much of a GUI test's time is waiting for the interface thread's events,
  # which the compiler fills.
  [ -z "${2:-}" ] || start_build "$2" 10
  local tests_start=$SECONDS
  if [ "$status" -eq 0 ]; then
    local log="$dir/ctest-output.log"
    local reports="$dir/gtest-reports"
    # The ThreadSanitizer tree runs the suites that run more than one thread
    # (labelled in tests/CMakeLists.txt); the other trees run every test.
    local select=()
    [ "$name" = tsan ] && select=(-L threads)
    rm -rf "$reports"
    # Two test binaries at a time: much of a GUI test's time is waiting for
    # the interface thread's events, which another binary's work fills.
    (cd "$dir" && ctest --output-on-failure --timeout 600 -j"$(nproc)" "${select[@]}") 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || { status=1; phase=" (tests failed)"; }
    # ctest's own count, added up over the trees for the closing line.
    local counts
    counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -1)
    if [ -n "$counts" ]; then
      TOTAL_FAILED=$((TOTAL_FAILED + ${counts% *}))
      TOTAL_PASSED=$((TOTAL_PASSED + ${counts#* } - ${counts% *}))
    else
      TOTAL_FAILED=$((TOTAL_FAILED + 1))
    fi
    # Every ctest entry is a GoogleTest binary writing its own report.
    if ! check_reports "$name" "$reports" "${counts#* }"; then
      status=1
      phase="$phase (tests skipped, not run or not reported)"
    fi
  fi
  local line
  line=$(printf '%-7s %s  build %4d s, tests %4d s, total %4d s%s' "$name" \
    "$([ "$status" -eq 0 ] && echo passed || echo FAILED)" \
    "$build_seconds" $((SECONDS - tests_start)) $((build_seconds + SECONDS - tests_start)) "$phase")
  echo "=== $line ==="
  SUMMARY+=("$line")
  [ "$status" -eq 0 ] || FAILED=1
}

# Line tables (-g1) are all a sanitizer report needs for file and line, at a
# fraction of the compile time of full debug information; the normal tree
# reports nothing of its own and is built without debug information, as the
# package is (an eighth less compile time). The sanitizer trees are
# built at -O1, as the sanitizers recommend: half the compile time of -O2,
# and the 80-bit arithmetic gives the same bits at any optimisation level.
RELEASE_FLAGS="-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
SANITIZE_FLAGS="-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"

# gold links the large test binaries in a third of the time of the default
# linker; lld does the same for clang, whose sanitizer runtimes gold warns about.
LINK_FLAGS="-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold"
CLANG_ARGS=(-DCMAKE_CXX_COMPILER=clang++ "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")

TREES=("$@")
[ ${#TREES[@]} -gt 0 ] || TREES=(normal asan tsan)
for tree in "${TREES[@]}"; do
  tree_args "$tree" || { echo "unknown tree '$tree' (normal, asan, tsan)"; exit 2; }
done
ALL_START=$SECONDS
for tree in "${TREES[@]}"; do
  [ "$tree" = normal ] || { start_sanitizer_compiler_install; break; }
done
for k in "${!TREES[@]}"; do
  run_tree "${TREES[$k]}" "${TREES[$((k + 1))]:-}"
done

echo "=== summary ==="
printf '%s\n' "${SUMMARY[@]}"
echo "(a tree's build overlaps the tests of the tree before it)"
echo "all: $((SECONDS - ALL_START)) s"
echo "ctest: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
exit "$FAILED"
