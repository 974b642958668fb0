#!/usr/bin/env bash
# Shared by run-demo.sh and demo-shot.sh (sourced, not run): the demo's program folder and
# orvane-sim on free ports of 127.0.0.1.
#   demo_prepare <build folder>   sets DEMO_BIN, DEMO_DIR; copies the client and its run-time folders
#   demo_start_sim                starts orvane-sim, sets SIM_PID, SIM_PORT, SIM_LOG
#   demo_write_config             Localcfg.ini pointing every address at the sim
#   demo_stop_sim                 ends orvane-sim
#   demo_wait_log <text> <secs>   waits until the sim's log holds the text

demo_prepare() {
    DEMO_BIN=$(cd "$1/bin" && pwd)
    DEMO_DIR=$(cd "$1" && pwd)/demo
    local entry
    for entry in orvane orvane-sim; do
        [[ -x $DEMO_BIN/$entry ]] || { echo "run-demo: $DEMO_BIN/$entry is missing; build first (make build)" >&2; exit 1; }
    done
    mkdir -p "$DEMO_DIR"
    # A copy, not a link: the client finds its folder through its own resolved path.
    cp -f "$DEMO_BIN/orvane" "$DEMO_DIR/"
    for entry in Skin skin Language BackupCfgFiles WndSplit.xml Update.exe; do
        [[ -e $DEMO_BIN/$entry ]] && cp -rf "$DEMO_BIN/$entry" "$DEMO_DIR/"
    done
    # Written by the previous run: start from the built-in settings again.
    rm -f "$DEMO_DIR/Config.ini"
    # The web engine refuses to start as root unless its sandbox is off.
    [[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
    return 0
}

demo_start_sim() {
    SIM_LOG=$DEMO_DIR/orvane-sim.log
    : > "$SIM_LOG"
    local out=$DEMO_DIR/orvane-sim.out
    "$DEMO_BIN/orvane-sim" --http-port 0 --no-https --log "$SIM_LOG" > "$out" 2>/dev/null &
    SIM_PID=$!
    local waited=0
    until grep -q '^orvane-sim ready' "$out" 2>/dev/null; do
        if ! kill -0 "$SIM_PID" 2>/dev/null || (( waited >= 100 )); then
            echo "run-demo: orvane-sim did not start (see $SIM_LOG)" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    SIM_PORT=$(sed -n 's/^orvane-sim http 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$out")
}

demo_write_config() {
    local base=http://127.0.0.1:$SIM_PORT
    # Its own program type: a client of the tests or of another demo does not block this one.
    cat > "$DEMO_DIR/Localcfg.ini" <<INI
[Type]
program=OrvaneDemo
language=en

[URL]
platformUrl=$base
loginUrl=$base/#/login?isFromC=1
versionUrl=$base/gateway//membership/appVersion/getVersion/9
vtDevListUrl=$base/gateway/device/veltra/deviceList
webDlgUrl=$base/#/noPage

[VTOpen]
host=127.0.0.1
port=$SIM_PORT
INI
}

demo_stop_sim() {
    if [[ -n ${SIM_PID:-} ]] && kill -0 "$SIM_PID" 2>/dev/null; then
        kill "$SIM_PID"
        wait "$SIM_PID" 2>/dev/null || true
    fi
    SIM_PID=
}

demo_wait_log() {
    local text=$1 tenths=$(( $2 * 10 ))
    until grep -qF -- "$text" "$SIM_LOG"; do
        (( tenths-- > 0 )) || return 1
        sleep 0.1
    done
}

demo_print_login() {
    cat <<TXT
orvane-sim (the reference platform) listens on http://127.0.0.1:$SIM_PORT
Program folder: $DEMO_DIR
Log in with user name "demo" and password "demo123" (or "guard" / "guard123").
TXT
}
