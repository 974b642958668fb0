#!/usr/bin/env bash
# Runs every benchmark of a build folder and prints their figures. bench_client drives the page
# through the fixed DevTools port 9234, so it waits for the lock the end-to-end runs share.
set -euo pipefail
build=${1:-build}
for bench in "$build"/bench-bin/bench_*; do
    [[ -x $bench ]] || continue
    echo "== $(basename "$bench")"
    if [[ $(basename "$bench") == bench_client ]]; then
        # -o: the benchmark's children (orvane-sim, the client) must not inherit the lock, or
        # one left behind would hold it after the benchmark ends.
        flock -o /tmp/orvane-e2e.lock "$bench"
    else
        "$bench"
    fi
done
