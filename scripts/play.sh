#!/usr/bin/env bash
# Builds the Snake game and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh game
cmake -S . -B build-game -DBGI_TESTS=OFF -DBGI_BENCH=OFF >/dev/null
cmake --build build-game -j"${JOBS:-2}"
if [ -x build-game/snake ]; then
    exec build-game/snake
fi
echo "The library is built; the Snake game itself is not there yet."
