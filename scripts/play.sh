#!/usr/bin/env bash
# Builds the Snake game and runs it in a window: w a s d steer, Enter quits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh game
cmake -S . -B build-game -DCMAKE_BUILD_TYPE=Release -DBGI_TESTS=OFF -DBGI_BENCH=OFF >/dev/null
cmake --build build-game -j"${JOBS:-2}" --target snake
exec build-game/snake
