#!/usr/bin/env bash
# Runs the whole suite of a build folder: one Xvfb for every display test of the run, stopped
# again however the tests end. Extra arguments go to ctest (for example -R tst_KPrintLog).
set -uo pipefail
build=${1:-build}
shift || true

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

# -displayfd: the server picks a free display number and writes it to that descriptor.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
    [[ -s $scratch/display ]] && break
    sleep 0.1
done
if [[ ! -s $scratch/display ]]; then
    echo "run-tests: Xvfb did not start:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi
export ORVANE_TEST_DISPLAY=:$(head -n1 "$scratch/display")

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
