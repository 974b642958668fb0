#!/usr/bin/env bash
# The demo. For now the client has no window of its own yet: it says what the demo will be.
set -euo pipefail
build=${1:-build}
cat <<TXT
Orvane is built in $build/bin.
The demo will start orvane-sim (the reference platform on 127.0.0.1) and the client with a
program folder pointed at it, then print the demo login. The client's start-up, the platform
and the web application arrive with the next pieces of work.
TXT
