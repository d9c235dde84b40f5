#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the sanitizer build,
# two minutes of fuzzing, the 32-bit Windows cross build, the Windows test
# programs under Wine, the installed libraries used as a user would, the
# examples' pictures, the reference comparison, the end-to-end run, and the
# web pages in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

bash scripts/setup.sh test

echo "== native build"
cmake -S . -B build -DBGI_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== the installed library, used out of tree (pkg-config, CMake; C, C++)"
bash scripts/install_test.sh native build

echo "== the examples' pictures, headless"
bash scripts/snapshots.sh build build/snapshots

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBGI_SANITIZE=ON -DBGI_BENCH=OFF -DBGI_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs")

# The public API fuzzed for two minutes from the seed corpus; what the run
# adds to the corpus stays in the build directory. Only the target is built.
# The seed is fixed, so that a finding here can be replayed elsewhere (the
# machine's speed still decides how far the run gets); BGI_FUZZ_SEED picks
# another.
echo "== fuzzing (libFuzzer, clang)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DBGI_FUZZ=ON -DBGI_TESTS=OFF -DBGI_BENCH=OFF \
    -DBGI_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs" --target bgi_fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings
timeout 300 build-fuzz/tests/fuzz/bgi_fuzz -seed="${BGI_FUZZ_SEED:-1}" -max_total_time=120 \
    -timeout=30 -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus tests/fuzz/corpus

echo "== Windows build (32-bit)"
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DBGI_WERROR=ON >/dev/null
cmake --build build-win32 -j"$jobs"

# The Windows test programs run under Wine. This host may run no 32-bit code,
# so they run from the 64-bit Windows build of the same sources.
echo "== Windows build (64-bit) under Wine"
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DBGI_WERROR=ON \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/scripts/wine-run.sh" >/dev/null
cmake --build build-win64 -j"$jobs"

# Wine needs an X display to create windows; scripts/wine-run.sh sets the
# prefix up as the reference (no window manager, our font faces).
scripts/xvfb-run.sh bash -c 'cd build-win64 && ctest --output-on-failure'

echo "== the installed Windows libraries: the MinGW link line, and a run under Wine"
bash scripts/install_test.sh windows build-win32 build-win64

echo "== reference comparison against Wine's GDI"
bash scripts/conformance.sh build build-win64

echo "== end-to-end run in a real window (Xvfb, xdotool)"
bash scripts/e2e.sh build

echo "== web pages in headless Chromium, against the desktop's pictures"
bash scripts/web_test.sh build build-web
