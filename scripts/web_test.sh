#!/usr/bin/env bash
# The web pages in headless Chromium against the desktop: builds the web
# pages (emscripten), makes the desktop's headless pictures of the same
# programs and keys, and runs tests/web/browser_test.py, which drives the
# pages from a local HTTP server on 127.0.0.1 (keys, the mouse, the game
# played through a loss) and prints the figures it measured.
#
# Usage: scripts/web_test.sh [NATIVE_BUILD_DIR [WEB_BUILD_DIR]]   (default: build, build-web)
# The native build must have its tests built (snake_script, the scenes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=$(cd "${1:-build}" && pwd)
web=${2:-build-web}
jobs=${JOBS:-2}
export NODE_PATH=/usr/share/nodejs

echo "== web pages (emscripten)"
start=$(date +%s)
emcmake cmake -S . -B "$web" -DBGI_WERROR=ON >/dev/null
timeout 1800 cmake --build "$web" -j"$jobs"
echo "web build: $(( $(date +%s) - start )) s"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== the desktop's pictures of the same programs"
for example in shapes palette fonts sprites pages rubberband; do
    settings=(BGI_SNAPSHOT="$work/$example.png")
    [ "$example" = rubberband ] && settings+=(BGI_SNAPSHOT_AFTER=500)
    (cd "$work" && env "${settings[@]}" timeout 60 "$native/examples/$example" </dev/null >/dev/null)
done
(cd "$work" && BGI_SNAPSHOT="$work/snake_script.png" BGI_KEYS=wdsa \
    timeout 60 "$native/tests/web/snake_script" </dev/null >/dev/null)
timeout 120 "$native/tests/conformance/conformance_scenes" "$work/scenes.dump"

echo "== a page made as a user makes one (scripts/web.sh)"
BGI_WEB_BUILD=$(cd "$web" && pwd) bash scripts/web.sh examples/shapes.c "$web/by-script" >/dev/null
for f in shapes.html shapes.js shapes.wasm bgi-fonts/DejaVuSansMono-Bold.ttf; do
    [ -s "$web/by-script/$f" ] || { echo "web.sh made no $f" >&2; exit 1; }
done

echo "== the pages in headless Chromium"
start=$(date +%s)
timeout 900 /usr/bin/python3 tests/web/browser_test.py "$web" "$work" \
    "$native/tests/conformance/compare_dumps"
echo "browser checks: $(( $(date +%s) - start )) s"
