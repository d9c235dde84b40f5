#!/usr/bin/env bash
# Turns one BGI program into a web page: OUT_DIR/PROG.html, with PROG.js and
# PROG.wasm beside it and the font files in OUT_DIR/bgi-fonts (the page
# fetches the ones its program uses; pages in one folder share them), or
# with --one-file everything in PROG.html, the font files too (compressed;
# the page unpacks only those its program uses). Serve the folder from any
# web server (a page with its .wasm beside it is not opened from a file://
# address; a one-file page is).
#
# Usage: scripts/web.sh [--one-file] PROG.c|PROG.cpp [OUT_DIR]   (default: the source's folder)
# Installs what it needs (Debian 12, as root, or with sudo), and builds the
# library for the browser once, in build-web (BGI_WEB_BUILD names another).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    echo "usage: scripts/web.sh [--one-file] PROG.c|PROG.cpp [OUT_DIR]" >&2
    exit 2
}
one_file=false
if [ "${1:-}" = --one-file ]; then
    one_file=true
    shift
fi
[ $# -ge 1 ] && [ $# -le 2 ] || usage
source=$1
[ -f "$source" ] || { echo "web.sh: $source: no such file" >&2; exit 2; }
case "$source" in
*.c) language=c ;;
*.cpp | *.cc | *.cxx) language=c++ ;;
*) echo "web.sh: $source is neither C (.c) nor C++ (.cpp, .cc, .cxx)" >&2; exit 2 ;;
esac
out=${2:-$(dirname "$source")}
mkdir -p "$out"
name=$(basename "${source%.*}")

bash "$root/scripts/setup.sh" web
export NODE_PATH=/usr/share/nodejs
library=${BGI_WEB_BUILD:-$root/build-web}
if [ ! -f "$library/web-link-arguments.txt" ]; then
    emcmake cmake -S "$root" -B "$library" >/dev/null
fi
cmake --build "$library" -j"${JOBS:-2}" --target bgi platform bgi_web_fonts >/dev/null
mapfile -t link_arguments < "$library/web-link-arguments.txt"
if $one_file; then
    link_arguments+=(-sSINGLE_FILE=1 "--pre-js=$library/bgi-fonts.js")
else
    mkdir -p "$out/bgi-fonts"
    cp "$library"/bgi-fonts/* "$out/bgi-fonts/"
fi

object=$(mktemp --suffix=.o)
trap 'rm -f "$object"' EXIT
if [ "$language" = c ]; then
    emcc -O3 -I"$root/include" -c "$source" -o "$object"
else
    em++ -O3 -std=c++20 -I"$root/include" -c "$source" -o "$object"
fi
em++ "$object" "${link_arguments[@]}" -o "$out/$name.html"
echo "$out/$name.html"
