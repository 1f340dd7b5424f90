#!/usr/bin/env bash
# One entry for the two things a developer does on a fresh machine:
#   tools/build.sh run   install packages, build, start Keystead from build/program/
#   tools/build.sh test  install packages, build with ASan+UBSan, run every suite through ctest
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-run}
bash "$root/tools/install-deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)
case "$mode" in
  run)
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEYSTEAD_TESTS=OFF
    cmake --build "$root/build" -j"$jobs"
    exec "$root/build/program/keystead"
    ;;
  test)
    cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug -DKEYSTEAD_SANITIZE=ON -DKEYSTEAD_TESTS=ON
    cmake --build "$root/build-test" -j"$jobs"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
    export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    ctest --test-dir "$root/build-test" --output-on-failure -j"$jobs" --timeout 300
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
