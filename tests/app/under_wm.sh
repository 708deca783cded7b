#!/usr/bin/env bash
# Runs a test program on a private X server with a window manager, so that its windows get
# real frames. Exits 77, which ctest counts as skipped, when Xvfb or openbox is missing.
set -u
for tool in Xvfb openbox; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

dir=$(mktemp -d)
server=""
wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# -displayfd picks a display number no other server uses and writes it once the server is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    sleep 0.05
done
if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:"
    cat "$dir/xvfb.log"
    exit 1
fi
export DISPLAY=":$(head -n 1 "$dir/display")"
export XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" XDG_RUNTIME_DIR="$dir"
openbox --sm-disable >"$dir/openbox.log" 2>&1 &
wm=$!
# The window manager is ready once it has announced itself on the root window. Windows mapped
# before then stay unframed, so the test waits for that event (the bound is reached only when
# the manager hangs); a manager that exits fails at once.
if command -v xprop >/dev/null; then
    for _ in $(seq 600); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        if ! kill -0 "$wm" 2>/dev/null; then
            echo "openbox exited:"
            cat "$dir/openbox.log"
            exit 1
        fi
        sleep 0.05
    done
fi

QT_QPA_PLATFORM=xcb "$@"
rc=$?
cat "$dir/openbox.log"
exit $rc
