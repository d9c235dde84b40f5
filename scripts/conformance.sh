#!/usr/bin/env bash
# Compares our GDI with the reference: runs the conformance scenes natively and,
# from the 64-bit Windows build, under Wine on a private 24-bit Xvfb screen,
# then compares the two dumps (docs/CONFORMANCE.md).
#
# Usage: scripts/conformance.sh [NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR [OUT_DIR]]]
#   defaults: build, build-win64, and a temporary folder removed afterwards.
# Extra arguments for compare_dumps go in COMPARE_ARGS, e.g.
#   COMPARE_ARGS="--diff blit_srccopy /tmp/d.ppm" scripts/conformance.sh build build-win64 /tmp/c
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native_dir=$(cd "${1:-$root/build}" && pwd)
windows_dir=$(cd "${2:-$root/build-win64}" && pwd)

scenes_native="$native_dir/tests/conformance/conformance_scenes"
scenes_windows="$windows_dir/tests/conformance/conformance_scenes.exe"
compare="$native_dir/tests/conformance/compare_dumps"
for program in "$scenes_native" "$scenes_windows" "$compare"; do
    if [ ! -x "$program" ] && [ ! -f "$program" ]; then
        echo "conformance: $program is missing; build it first" >&2
        exit 2
    fi
done

if [ $# -ge 3 ]; then
    mkdir -p "$3"
    out=$(cd "$3" && pwd)
    keep_out=1
else
    out=$(mktemp -d)
    keep_out=0
fi

xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ "$keep_out" = 0 ]; then rm -rf "$out"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== native scenes"
timeout --kill-after=5 120 "$scenes_native" "$out/native.dump"

# Xvfb picks a free display number itself and writes it to descriptor 3.
echo "== reference scenes (Wine on Xvfb)"
: >"$out/display"
timeout --kill-after=5 900 Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$out/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
display=$(tr -d '[:space:]' <"$out/display")
if [ -z "$display" ]; then
    echo "conformance: Xvfb did not start" >&2
    cat "$out/xvfb.log" >&2
    exit 2
fi

# The dump goes to the working folder: a relative name means the same file to
# Wine and to us.
(cd "$out" && DISPLAY=":$display" BGI_WINE_TIMEOUT=300 \
    "$root/scripts/wine-run.sh" "$scenes_windows" reference.dump)
# Let the prefix's wine server finish (it lingers a few seconds after its last
# program) so that nothing is left running on the display we are closing.
WINEPREFIX="${BGI_WINEPREFIX:-/tmp/bgi-wineprefix-$(id -u)}" timeout 30 wineserver -w || true

echo "== comparison"
# shellcheck disable=SC2086
"$compare" "$out/native.dump" "$out/reference.dump" --expect "$root/docs/CONFORMANCE.md" \
    ${COMPARE_ARGS:-}
