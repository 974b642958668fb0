#!/usr/bin/env bash
# Runs one test binary in a fresh program folder with its own home and config folders.
# usage: run-test.sh plain|gui|display <binary> [arguments...]
# The folder is removed after a pass and kept (its path printed) after a failure.
set -u
kind=$1
binary=$2
shift 2

root=$(mktemp -d "${TMPDIR:-/tmp}/orvane-test.XXXXXX")
mkdir -p "$root/prog" "$root/home" "$root/config" "$root/data" "$root/cache" "$root/tmp" "$root/runtime"
chmod 700 "$root/runtime"
# A copy, not a link: the program folder is where the binary really lies.
cp "$binary" "$root/prog/"

export ORVANE_TEST_ROOT=$root
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data
export XDG_CACHE_HOME=$root/cache XDG_RUNTIME_DIR=$root/runtime TMPDIR=$root/tmp
[[ $(id -u) -eq 0 ]] && export QTWEBENGINE_DISABLE_SANDBOX=1
# Sanitizer builds: known one-off allocations of Qt and the system libraries are not our leaks.
here=$(dirname "$(readlink -f "$0")")
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Thread-checker builds: the uninstrumented system libraries' own hand-overs are not our races.
# Their calls into the C library (the pictures GStreamer and the codecs copy and clear) are not
# checked either: checking every byte of those copies took most of a media test's time, which
# made the tests' streams too slow to play, and races there are the libraries' own.
export TSAN_OPTIONS="suppressions=$here/tsan.supp:ignore_noninstrumented_modules=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
# GLib's slice allocator (GStreamer's buffers, samples and events) hands freed blocks from one
# thread to another through caches and locks the checkers cannot see, so a buffer written on a
# thread after another thread had freed the same block looked like a race. With plain malloc the
# checkers follow every block from allocation to free.
export G_SLICE=always-malloc

cd "$root/prog" || exit 1
run=("./$(basename "$binary")" "$@")
case $kind in
    plain)
        unset DISPLAY
        "${run[@]}" ;;
    gui)
        unset DISPLAY
        QT_QPA_PLATFORM=offscreen "${run[@]}" ;;
    display)
        export QT_QPA_PLATFORM=xcb
        # The X client libraries load and unload graphics modules whose one-off allocations have
        # no name left to suppress: leak checking is for the tests without a display.
        export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
        if [[ -n ${ORVANE_TEST_DISPLAY:-} ]]; then
            DISPLAY=$ORVANE_TEST_DISPLAY "${run[@]}"
        else
            # Run on its own when started outside `make test`.
            xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "${run[@]}"
        fi ;;
    *)
        echo "run-test.sh: unknown kind $kind" >&2
        exit 2 ;;
esac
rc=$?
if [[ $rc -eq 0 ]]; then
    rm -rf "$root"
else
    echo "run-test.sh: exit code $rc; test folder kept at $root" >&2
fi
exit $rc
