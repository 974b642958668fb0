#!/usr/bin/env bash
# Runs every benchmark of a build folder and prints their figures.
set -euo pipefail
build=${1:-build}
for bench in "$build"/bench-bin/bench_*; do
    [[ -x $bench ]] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
