#!/usr/bin/env bash
# Installs, builds and runs the whole test suite with CTest, with a throwaway Firebird
# server on 127.0.0.1 for the shared-database tests.
#   sudo scripts/run-tests.sh [--sanitize]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build"
extra=()
if [ "${1:-}" = "--sanitize" ]; then
    build="$top/build-asan"
    extra=(-DVEXORIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DVEXORIN_TESTS=ON -DVEXORIN_BENCH=ON "${extra[@]}"
cmake --build "$build" -j "$(nproc)"

"$top/scripts/firebird-test-server.sh" start
trap '"$top/scripts/firebird-test-server.sh" stop' EXIT
export VEXORIN_REQUIRE_SERVER=1
# The Firebird client keeps a few allocations for the life of the process.
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp"
ctest --test-dir "$build" --output-on-failure -j 2
