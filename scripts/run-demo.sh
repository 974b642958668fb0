#!/usr/bin/env bash
# The demo: starts orvane-sim (the reference platform) on a free port of 127.0.0.1 and the client
# from the program folder <build>/demo, whose Localcfg.ini points every platform address and the
# open platform at the sim; prints the demo login; stops the sim when the client exits.
# Without a display it runs the same under Xvfb and saves a screenshot instead.
# usage: run-demo.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
source "$here/demo-env.sh"

if [[ -z ${DISPLAY:-} ]]; then
    cat <<TXT
There is no display here, so the demo runs on a virtual one and saves a screenshot.
To use it yourself on this machine, run it under Xvfb and look at it through a VNC viewer, e.g.
    xvfb-run -a -s "-screen 0 1920x1080x24" make demo
or forward X over SSH (ssh -X) and run make demo there.
TXT
    exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$here/demo-shot.sh" "$build"
fi

demo_prepare "$build"
demo_start_sim
trap demo_stop_sim EXIT
demo_write_config
demo_print_login
echo "Close the client window (its close button, or the page's quit) to end the demo."
status=0
(cd "$DEMO_DIR" && ./orvane) || status=$?
echo "The client ended (exit code $status); stopping orvane-sim."
exit $status
