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

cleanup() {
    if [ "$keep_out" = 0 ]; then rm -rf "$out"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== native scenes"
timeout --kill-after=5 120 "$scenes_native" "$out/native.dump"

echo "== reference scenes (Wine on Xvfb)"
# The dump goes to the working folder: a relative name means the same file to
# Wine and to us.
(cd "$out" && BGI_WINE_TIMEOUT=300 "$root/scripts/xvfb-run.sh" \
    "$root/scripts/wine-run.sh" "$scenes_windows" reference.dump)

echo "== comparison"
# shellcheck disable=SC2086
"$compare" "$out/native.dump" "$out/reference.dump" --expect "$root/docs/CONFORMANCE.md" \
    ${COMPARE_ARGS:-}
