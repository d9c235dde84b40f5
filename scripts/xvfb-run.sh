#!/usr/bin/env bash
# Runs a command on a private 24-bit Xvfb screen and stops the screen after.
# DISPLAY points at the screen and BGI_XVFB is set while the command runs.
#
# Usage: scripts/xvfb-run.sh [-s WIDTHxHEIGHT] COMMAND [ARGS...]
#   The command's exit status is returned. It is bounded by BGI_XVFB_TIMEOUT
#   seconds (default 1800).
set -uo pipefail
size=1280x1024
if [ "${1:-}" = -s ]; then
    size=$2
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [-s WxH] COMMAND [ARGS...]" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=
stop() {
    if [ -n "$xvfb_pid" ]; then
        # A Wine server lingers a few seconds after its last program; let it
        # finish before its display goes.
        if command -v wineserver >/dev/null; then
            WINEPREFIX="${BGI_WINEPREFIX:-/tmp/bgi-wineprefix-$(id -u)}" timeout 30 wineserver -w \
                2>/dev/null || true
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it to descriptor 3.
: >"$work/display"
timeout --kill-after=5 "${BGI_XVFB_TIMEOUT:-1800}" Xvfb -displayfd 3 -screen 0 "${size}x24" \
    -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
display=$(tr -d '[:space:]' <"$work/display")
if [ -z "$display" ]; then
    echo "xvfb-run: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 2
fi

DISPLAY=":$display" BGI_XVFB=1 timeout --kill-after=10 "${BGI_XVFB_TIMEOUT:-1800}" "$@"
