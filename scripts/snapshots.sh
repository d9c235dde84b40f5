#!/usr/bin/env bash
# Makes the pictures of the examples (docs/examples/*.png) with headless
# snapshots: each example runs without a display (BGI_SNAPSHOT), and its
# window is saved when it waits for a key that cannot come. The rubber band
# waits for the mouse instead; it is saved after half a second
# (BGI_SNAPSHOT_AFTER). Fails when a picture cannot be made.
#
# Usage: scripts/snapshots.sh [BUILD_DIR [OUT_DIR]]   (default: build, docs/examples)
# With OUT_DIR elsewhere, each picture that differs from the one in
# docs/examples is named (the pictures there are what this script made).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
docs=$root/docs/examples
out=${2:-$docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)

status=0
for example in shapes palette rubberband fonts sprites pages; do
    program=$build/examples/$example
    [ -x "$program" ] || { echo "snapshots: $program is missing; build it first" >&2; exit 2; }
    settings=(BGI_SNAPSHOT="$out/$example.png")
    [ "$example" = rubberband ] && settings+=(BGI_SNAPSHOT_AFTER=500)
    rm -f "$out/$example.png"
    if ! (cd "$out" && env "${settings[@]}" timeout 60 "$program" </dev/null >/dev/null); then
        echo "snapshots: $example failed" >&2
        status=1
    elif [ ! -s "$out/$example.png" ]; then
        echo "snapshots: $example made no picture" >&2
        status=1
    else
        echo "$example.png"
        if [ "$out" != "$docs" ] && ! cmp -s "$out/$example.png" "$docs/$example.png"; then
            echo "  differs from docs/examples/$example.png (run scripts/snapshots.sh to renew it)"
        fi
    fi
done
exit $status
