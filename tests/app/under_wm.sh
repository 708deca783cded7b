#!/usr/bin/env bash
# Runs a test program on a private X server with a window manager, so that its windows get
# real frames. Exits 77, which ctest counts as skipped, when Xvfb, openbox or xprop is missing.
#
# A server or window manager that fails to come up, or a window manager that is gone by the
# time the test ends, is the machine's fault, not the test's: the whole run is repeated on a
# fresh server, up to three times, and each failed attempt's logs are printed.
set -u
for tool in Xvfb openbox xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

dir=""
server=""
wm=""
stop() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    [ -n "$dir" ] && rm -rf "$dir"
    dir="" server="" wm=""
}
trap stop EXIT

# Starts a server and a window manager; returns non-zero, with the reason on stdout, when
# either does not come up.
start() {
    dir=$(mktemp -d)
    # -displayfd picks a display number no other server uses and writes it once the server is
    # ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    server=$!
    for _ in $(seq 200); do
        [ -s "$dir/display" ] && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.05
    done
    if [ ! -s "$dir/display" ]; then
        echo "Xvfb did not start:"
        cat "$dir/xvfb.log"
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$dir/display")"
    if ! xprop -root >/dev/null 2>&1; then
        echo "Xvfb on $DISPLAY does not answer:"
        cat "$dir/xvfb.log"
        return 1
    fi
    export XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" XDG_RUNTIME_DIR="$dir"
    openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    wm=$!
    # The window manager is ready once it has announced itself on the root window. Windows
    # mapped before then stay unframed, so the test waits for that event.
    for _ in $(seq 600); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$wm" 2>/dev/null || break
        sleep 0.05
    done
    echo "openbox did not come up:"
    cat "$dir/openbox.log"
    return 1
}

for attempt in 1 2 3; do
    if ! start; then
        stop
        continue
    fi
    QT_QPA_PLATFORM=xcb "$@"
    rc=$?
    cat "$dir/openbox.log"
    if [ "$rc" -ne 0 ] && ! kill -0 "$wm" 2>/dev/null; then
        echo "openbox exited during attempt $attempt; repeating on a fresh server"
        stop
        continue
    fi
    exit "$rc"
done
echo "no attempt got a working X server with a window manager"
exit 1
