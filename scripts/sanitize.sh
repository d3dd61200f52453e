#!/usr/bin/env bash
# Sanitizer runs, each in a build folder of its own:
#   asan: the module and the simulated SDK with AddressSanitizer and
#         UndefinedBehaviorSanitizer, the whole script suite run with the runtime preloaded;
#   tsan: the C++ unit tests (frame store concurrency) with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
kind=${1:?asan or tsan}

case "$kind" in
  asan)
    npx cmake-js build --out build-asan --CDBRIMO_SANITIZE=ON --parallel 2 --log-level warn
    export BRIMO_BUILD_DIR="$PWD/build-asan/Release"
    export LD_PRELOAD="$(g++ -print-file-name=libasan.so):$(g++ -print-file-name=libubsan.so)"
    # node itself is not instrumented and keeps its heap at exit on purpose, so leak
    # checking would only report the runtime; every other check is on.
    export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:halt_on_error=1:detect_odr_violation=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    log=$(mktemp)
    set +e
    node --expose-gc --test --test-concurrency=1 test/ 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    if grep -qE "ERROR: AddressSanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer" "$log"; then
      echo "sanitizer report found" >&2
      exit 1
    fi
    exit "$status"
    ;;
  tsan)
    cmake -S . -B build-tsan -DBRIMO_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build-tsan --parallel 2
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --test-dir build-tsan --output-on-failure
    ;;
  *)
    echo "usage: sanitize.sh asan|tsan" >&2
    exit 2
    ;;
esac
