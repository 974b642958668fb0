#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs each for a
# bounded time (FUZZ_SECONDS, default 20). A crash fails the run and leaves its input in
# <build>/fuzz-findings.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
if [[ ! -f $build/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DORVANE_FUZZ=ON >/dev/null
fi
targets=$(sed -n 's/^orvane_add_fuzzer(\([A-Za-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt)
# shellcheck disable=SC2086
cmake --build "$build" --target $targets
mkdir -p "$build/fuzz-findings"
for target in $targets; do
    corpus=$build/fuzz-corpus/$target
    mkdir -p "$corpus"
    [[ -d fuzz/corpus/$target ]] && cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
    echo "== $target for ${seconds}s"
    "$build/fuzz-bin/$target" -max_total_time="$seconds" -print_final_stats=0 \
        -artifact_prefix="$build/fuzz-findings/$target-" "$corpus" 2>&1 | tail -n 2
done
