#!/usr/bin/env bash
# bench/startup.sh [VILORKA]
#
# Start-up time, memory and key handling of Vilorka against the toolkit's floor, on a private
# headless X server. VILORKA is the program to measure (default: build/src/vilorka, the Release
# build of scripts/run.sh, else the installed `vilorka`). The floor is bench/floor/floor.cpp, a Qt
# Widgets window with a line edit and 43 buttons, built here with the same Qt.
#
# WARMUP (1) uncounted starts, then RUNS (10) starts of each program, the two taking turns, each
# with a fresh, empty HOME and config folder, measuring
#   ttw  - time from exec until the main window is mapped (viewable, with its title);
#   rss  - resident memory SETTLE_MS (1000) ms after that;
#   keys - with KEYS > 0 (1000): KEYS digit key presses sent in a burst with XTest, timed until
#          the program has handled them all (second _NET_WM_PING answer after the last key).
# Prints one line per run, the median/min/max of each measure, and the ratios Vilorka / floor of
# the medians. Both programs run on the same server, window manager and bus: compare ratios, not
# absolute times, on a shared machine.
#
# Needs: Xvfb, cc and the X11 headers (libx11-dev), g++ and pkg-config with Qt 6 Widgets;
# openbox and dbus-daemon are used when installed. Knobs (environment): RUNS, WARMUP, KEYS,
# SETTLE_MS, TIMEOUT_S (20), WM (openbox|none), DBUS (1|0), SCREEN (1280x1024x24),
# BENCH_LANG (C.UTF-8), KEEP_WORK (1 keeps the scratch folder with the logs), DISPLAY_NUMBER (the
# X display to start; by default Xvfb picks a free one), SHOT (a folder: a screenshot of every run
# just before the window closes, to see where the typed digits went; needs ImageMagick's import).
# Only the processes this script starts are stopped at the end.
# shellcheck disable=SC2046,SC2086,SC2207 # splitting pkg-config output, value and PID lists is intended
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
if [ -n "${SHOT:-}" ]; then mkdir -p "$SHOT" && SHOT=$(cd "$SHOT" && pwd); fi
ROOT=$(cd "$HERE/.." && pwd)
RUNS=${RUNS:-10}
WARMUP=${WARMUP:-1}
KEYS=${KEYS:-1000}
SETTLE_MS=${SETTLE_MS:-1000}
TIMEOUT_S=${TIMEOUT_S:-20}
WM=${WM:-openbox}
SCREEN=${SCREEN:-1280x1024x24}
BENCH_LANG=${BENCH_LANG:-C.UTF-8}

log() { printf '%s\n' "$*" >&2; }

APP=${1:-}
if [ -z "$APP" ]; then
    if [ -x "$ROOT/build/src/vilorka" ]; then APP=$ROOT/build/src/vilorka; else APP=$(command -v vilorka || true); fi
fi
if [ -z "$APP" ] || [ ! -x "$APP" ]; then
    log "error: no vilorka to measure (build it with scripts/run.sh or name it)"
    exit 64
fi
APP=$(cd "$(dirname "$APP")" && pwd)/$(basename "$APP")

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vilorka-bench.XXXXXX")
XVFB_PID="" WM_PID="" DBUS_PID=""

session_members() { # live PIDs whose session id is $1
    ps -e -o pid=,sid=,stat= | awk -v s="$1" '$2 == s && $3 !~ /^Z/ {print $1}'
}

stop_pids() { # TERM, wait up to 3 s, then KILL
    [ $# -eq 0 ] && return
    kill "$@" 2>/dev/null
    for _ in $(seq 60); do
        local alive=0 p
        for p in "$@"; do kill -0 "$p" 2>/dev/null && alive=1; done
        [ $alive = 0 ] && break
        sleep 0.05
    done
    kill -KILL "$@" 2>/dev/null
}

cleanup() {
    local -a pids=()
    # the bus runs in a session of its own, with the services it started (a11y bus, dconf, ...)
    [ -n "$DBUS_PID" ] && pids+=($(session_members "$DBUS_PID"))
    [ -n "$WM_PID" ] && pids+=("$WM_PID")
    stop_pids "${pids[@]}"
    [ -n "$XVFB_PID" ] && stop_pids "$XVFB_PID"
    wait 2>/dev/null
    if [ "${KEEP_WORK:-0}" = 1 ]; then log "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ---- the helper that watches for the window, and the floor program ----
cc -O2 -o "$WORK/xwin" "$HERE/xwin.c" $(pkg-config --cflags --libs x11 2>/dev/null || echo -lX11) -ldl \
    2>"$WORK/cc.log" || { log "error: cannot build the X11 helper (need cc and libx11-dev)"; cat "$WORK/cc.log" >&2; exit 1; }
g++ -O2 -fPIC -std=c++17 "$HERE/floor/floor.cpp" $(pkg-config --cflags --libs Qt6Widgets) -o "$WORK/floor" \
    2>"$WORK/floor.log" || { log "error: cannot build the floor program"; cat "$WORK/floor.log" >&2; exit 1; }

# ---- a private X server: it picks a free display itself and tells which ----
command -v Xvfb >/dev/null || { log "error: Xvfb is not installed"; exit 1; }
if [ -n "${DISPLAY_NUMBER:-}" ]; then
    echo "$DISPLAY_NUMBER" >"$WORK/display"
    Xvfb ":$DISPLAY_NUMBER" -screen 0 "$SCREEN" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
else
    exec 3>"$WORK/display"
    Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 3>&-
fi
for _ in $(seq 200); do
    [ -s "$WORK/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
done
[ -s "$WORK/display" ] || { log "error: Xvfb did not start"; cat "$WORK/xvfb.log" >&2; exit 1; }
DISPLAY=":$(head -n1 "$WORK/display")"
export DISPLAY
for _ in $(seq 100); do "$WORK/xwin" ready 2>/dev/null && break; sleep 0.05; done
"$WORK/xwin" ready 2>/dev/null || { log "error: the X server on $DISPLAY does not answer"; exit 1; }

mkdir -p "$WORK/run" "$WORK/cache" "$WORK/wmhome"
chmod 700 "$WORK/run"
if [ "$WM" = openbox ] && command -v openbox >/dev/null; then
    HOME=$WORK/wmhome XDG_CONFIG_HOME=$WORK/wmhome openbox --sm-disable >"$WORK/wm.log" 2>&1 &
    WM_PID=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
else
    WM=none
fi
if [ "${DBUS:-1}" = 1 ] && command -v dbus-daemon >/dev/null; then
    mkdir -p "$WORK/dbushome"
    env -i "PATH=$PATH" "HOME=$WORK/dbushome" "LANG=$BENCH_LANG" "DISPLAY=$DISPLAY" \
        "XDG_RUNTIME_DIR=$WORK/run" "XDG_CONFIG_HOME=$WORK/dbushome/.config" \
        "XDG_CACHE_HOME=$WORK/dbushome/.cache" "XDG_DATA_HOME=$WORK/dbushome/.local/share" \
        setsid dbus-daemon --session --nofork --nopidfile --print-address=3 \
        3>"$WORK/dbus.addr" >/dev/null 2>&1 &
    DBUS_PID=$!
    for _ in $(seq 100); do [ -s "$WORK/dbus.addr" ] && break; sleep 0.05; done
fi
DBUS_ADDR=$(head -n1 "$WORK/dbus.addr" 2>/dev/null)

# ---- one start: prints the helper's key=value line ----
run_once() { # CMD TITLE_REGEX
    local h
    h=$(mktemp -d "$WORK/home.XXXXXX")
    mkdir -p "$h/.config" "$h/.local/share"
    local -a envv=(env -i "PATH=$PATH" "HOME=$h" "USER=${USER:-bench}" "LANG=$BENCH_LANG" "DISPLAY=$DISPLAY"
        "XDG_RUNTIME_DIR=$WORK/run" "XDG_CONFIG_HOME=$h/.config" "XDG_DATA_HOME=$h/.local/share"
        "XDG_CACHE_HOME=$WORK/cache" "QT_QPA_PLATFORM=xcb")
    [ -n "$DBUS_ADDR" ] && envv+=("DBUS_SESSION_BUS_ADDRESS=$DBUS_ADDR")
    local -a opts=(--regex "$2" --timeout $((TIMEOUT_S * 1000)) --settle "$SETTLE_MS" --pidfile "$WORK/app.pid")
    [ "$KEYS" -gt 0 ] && opts+=(--keys "$KEYS")
    [ -n "${SHOT:-}" ] && opts+=(--before-close "import -window root \"$SHOT/\$APP_PID.png\"")
    rm -f "$WORK/app.pid"
    (cd "$h" && timeout -k 2 $((TIMEOUT_S * 3 + 100)) "${envv[@]}" "$WORK/xwin" run "${opts[@]}" -- "$1" \
        2>>"$WORK/app.log" | tail -n 1)
    local apid
    apid=$(cat "$WORK/app.pid" 2>/dev/null)
    if [ -n "$apid" ]; then
        local -a left=($(session_members "$apid"))
        [ ${#left[@]} -gt 0 ] && kill -KILL "${left[@]}" 2>/dev/null
    fi
    rm -rf "$h"
}

field() { # KEY LINE (the free-text title is cut off first)
    local v
    v=$(printf '%s\n' "${2%% title=*}" | sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" | head -n1)
    printf '%s' "${v:--1}"
}

stats() { # median min max of the arguments; negative values are failures and are left out
    printf '%s\n' "$@" | awk '$1 >= 0' | sort -g | awk '{a[NR]=$1} END{
        if (NR == 0) { print "- - -"; exit }
        m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2;
        printf "%.1f %.1f %.1f\n", m, a[1], a[NR]}'
}

FAILS=0
declare -A TTW RSS KEYMS # "name" -> space-separated values of the counted runs

one_run() { # NAME CMD TITLE_REGEX COUNTED RUN_NUMBER
    local line ttw rss keys
    line=$(run_once "$2" "$3")
    if [ "$(field status "$line")" != ok ]; then
        printf '%-8s run %-3s  FAILED (%s)\n' "$1" "$5" "$(field status "$line")"
        [ "$4" = 1 ] && FAILS=$((FAILS + 1))
        return
    fi
    [ "$4" = 1 ] || return
    ttw=$(field ttw_ms "$line")
    rss=$(awk -v k="$(field rss_kib "$line")" 'BEGIN{printf "%.1f", k/1024}')
    keys=$(field keys_pong2_ms "$line")
    printf '%-8s run %-3s  to window %7s ms   memory %6s MiB   %s keys %7s ms\n' \
        "$1" "$5" "$ttw" "$rss" "$KEYS" "$keys"
    TTW[$1]+=" $ttw" RSS[$1]+=" $rss" KEYMS[$1]+=" $keys"
}

summary() { # NAME; sets TTW_MED, RSS_MED, KEYS_MED and prints median/min/max
    read -r TTW_MED TTW_MIN TTW_MAX <<<"$(stats ${TTW[$1]:-})"
    read -r RSS_MED RSS_MIN RSS_MAX <<<"$(stats ${RSS[$1]:-})"
    read -r KEYS_MED KEYS_MIN KEYS_MAX <<<"$(stats ${KEYMS[$1]:-})"
    printf '%-8s median/min/max: to window %s/%s/%s ms, memory %s/%s/%s MiB' \
        "$1" "$TTW_MED" "$TTW_MIN" "$TTW_MAX" "$RSS_MED" "$RSS_MIN" "$RSS_MAX"
    [ "$KEYS" -gt 0 ] && printf ', %s keys %s/%s/%s ms' "$KEYS" "$KEYS_MED" "$KEYS_MIN" "$KEYS_MAX"
    printf '\n'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (a + 0 > 0 && b + 0 > 0) printf "%.2f", a / b; else print "-" }'; }

log "startup.sh: $(date -u +%FT%TZ) load=$(cut -d' ' -f1-3 /proc/loadavg) DISPLAY=$DISPLAY WM=$WM" \
    "runs=$RUNS(+$WARMUP) keys=$KEYS app=$APP"
# The two programs take turns, so that a change in the machine's load falls on both alike.
for i in $(seq 1 $((WARMUP + RUNS))); do
    counted=0
    [ "$i" -gt "$WARMUP" ] && counted=1
    one_run vilorka "$APP" '^Вилорка$' "$counted" $((i - WARMUP))
    one_run floor "$WORK/floor" '^Floor$' "$counted" $((i - WARMUP))
done
summary vilorka
V_TTW=$TTW_MED V_RSS=$RSS_MED V_KEYS=$KEYS_MED
summary floor
F_TTW=$TTW_MED F_RSS=$RSS_MED F_KEYS=$KEYS_MED
log "startup.sh: done, load=$(cut -d' ' -f1-3 /proc/loadavg)"

printf 'RATIO vilorka/floor: to window %s, memory %s' "$(ratio "$V_TTW" "$F_TTW")" "$(ratio "$V_RSS" "$F_RSS")"
[ "$KEYS" -gt 0 ] && printf ', %s keys %s' "$KEYS" "$(ratio "$V_KEYS" "$F_KEYS")"
printf '\n'
[ "$FAILS" -eq 0 ]
