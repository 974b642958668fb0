#!/usr/bin/env bash
# The demo on a display without anyone to look at it (run by run-demo.sh under Xvfb): starts
# orvane-sim and the client, waits until the login page is up, saves a screenshot of the screen
# to <build>/demo/orvane-demo.png and ends both.
# usage: demo-shot.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/demo-env.sh"
demo_prepare "${1:-build}"
demo_start_sim
client=
finish() {
    [[ -n $client ]] && kill "$client" 2>/dev/null && wait "$client" 2>/dev/null
    demo_stop_sim
}
trap finish EXIT
demo_write_config
demo_print_login

(cd "$DEMO_DIR" && exec ./orvane) > "$DEMO_DIR/orvane.out" 2>&1 &
client=$!
# Ready: the page's last module was fetched and the client asked for its version.
if ! demo_wait_log "GET /js/windowbar.js" 60; then
    echo "demo-shot: the login page did not load (see $DEMO_DIR/orvane.out and $SIM_LOG)" >&2
    exit 1
fi
demo_wait_log "GET /gateway//membership/appVersion/getVersion/9" 10 \
    || echo "demo-shot: the client did not check its version; the waiting animation may show"
sleep 3 # the page draws its first frame
shot=$DEMO_DIR/orvane-demo.png
gst-launch-1.0 -q ximagesrc num-buffers=1 use-damage=false ! videoconvert ! pngenc \
    ! filesink location="$shot" > /dev/null
echo "Screenshot of the demo: $shot"
