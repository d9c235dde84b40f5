#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the sanitizer build,
# the 32-bit Windows cross build, and the Windows test programs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash scripts/setup.sh test

echo "== native build"
cmake -S . -B build -DBGI_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBGI_SANITIZE=ON -DBGI_BENCH=OFF -DBGI_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

echo "== Windows build (32-bit)"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBGI_WERROR=ON >/dev/null
cmake --build build-win32 -j"$jobs"

# The Windows test programs run under Wine. This host may run no 32-bit code,
# so they run from the 64-bit Windows build of the same sources.
echo "== Windows build (64-bit) under Wine"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBGI_WERROR=ON \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/scripts/wine-run.sh" >/dev/null
cmake --build build-win64 -j"$jobs"
(cd build-win64 && ctest --output-on-failure)

echo "== reference comparison against Wine's GDI"
bash scripts/conformance.sh build build-win64
