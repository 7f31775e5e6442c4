#!/bin/bash
# Builds the fuzz targets with clang's libFuzzer into build-fuzz/ and runs each for N seconds
# (default 60) on its committed seeds. New inputs gather in build-fuzz/corpus, and an input
# that crashes or hangs a target is written to build-fuzz/artifacts; keep it as a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTAVREL_FUZZ=ON -DTAVREL_BENCH=OFF "${launcher[@]}" >/dev/null
targets=()
for source in fuzz/*.cpp; do
    targets+=("fuzz_$(basename "$source" .cpp)")
done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
mkdir -p build-fuzz/artifacts
status=0
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    mkdir -p "build-fuzz/corpus/$name"
    echo "== $name: ${seconds}s"
    log="build-fuzz/artifacts/$name.log"
    rc=0
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="build-fuzz/artifacts/$name-" "build-fuzz/corpus/$name" \
        "fuzz/corpus/$name" >"$log" 2>&1 || rc=$?
    grep -E "^(#[0-9]+ +DONE|Done [0-9]+ runs|SUMMARY|==[0-9]+==ERROR)" "$log" || true
    if [ "$rc" -ne 0 ]; then
        echo "$name failed; see $log"
        status=1
    fi
done
exit "$status"
