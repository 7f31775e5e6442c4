#!/bin/bash
# Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ and runs
# the suite there; the first report stops the test that made it. Extra arguments go to ctest
# (for instance -R test_app to run one test program).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTAVREL_SANITIZE=ON -DTAVREL_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-sanitize -j"$(nproc)"
# Leaks are not checked: the Firebird client and Qt keep process-wide allocations to the end.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-sanitize --output-on-failure --timeout 900 "$@"
