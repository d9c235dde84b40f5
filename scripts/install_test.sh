#!/usr/bin/env bash
# Installs the library as a user would and builds the examples against the
# installed copy, out of the source tree.
#
#   scripts/install_test.sh native [BUILD_DIR]
#     cmake --install into a temporary prefix; every example built as C and
#     as C++ with pkg-config (shared library; one also with the static one)
#     and with CMake (find_package(BGI): BGI::bgi and BGI::bgi_static); the
#     shapes example run headless with a snapshot, from each kind of build.
#     The DOS-era programs of tests/classic built unchanged as C, undeclared
#     functions being errors, with pkg-config and with CMake, and their
#     pictures compared (scripts/classic.sh).
#   scripts/install_test.sh windows [BUILD_WIN32 [BUILD_WIN64]]
#     both Windows builds installed; the examples built with the MinGW C
#     compiler and the link line of the README (libbgi.a, gdi32, user32,
#     winmm); the programs may import no DLL but the system's; the DOS-era
#     programs built too, their getch and kbhit the library's, not the C
#     runtime's; the 64-bit shapes example and a DOS-era program run under
#     Wine on a private Xvfb screen, each ended with a key.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

fail() {
    echo "install_test: FAIL: $*" >&2
    exit 1
}

# The picture's size, WIDTHxHEIGHT.
picture_size() { identify -format '%wx%h' "$1"; }

native() {
    local build prefix examples
    build=$(cd "${1:-$root/build}" && pwd)
    prefix=$work/prefix
    echo "== install into $prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for f in include/bgi.h include/graphics.h include/conio.h include/dos.h include/bios.h include/bgi_far.h \
        lib/libbgi.a lib/libbgi.so lib/pkgconfig/bgi.pc lib/cmake/BGI/BGIConfig.cmake; do
        [ -e "$prefix/$f" ] || fail "$f is not installed"
    done
    examples=$prefix/share/doc/bgi/examples
    export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

    echo "== pkg-config: each example as C and as C++"
    mkdir -p "$work/pc"
    local source name
    for source in "$examples"/*.c; do
        name=$(basename "$source" .c)
        # shellcheck disable=SC2046 # the flags are words
        cc -std=c99 -Wall -Werror -o "$work/pc/${name}_c" "$source" \
            $(pkg-config --cflags --libs bgi) -lm || fail "$name does not build as C"
        # shellcheck disable=SC2046
        c++ -Wall -Werror -x c++ "$source" -x none -o "$work/pc/${name}_cxx" \
            $(pkg-config --cflags --libs bgi) || fail "$name does not build as C++"
    done
    # The static library: the archive in place of -lbgi, and what it needs.
    local static_libs
    static_libs=$(pkg-config --static --libs bgi)
    # shellcheck disable=SC2046,SC2086
    cc -std=c99 -o "$work/pc/shapes_static" "$examples/shapes.c" $(pkg-config --cflags bgi) \
        ${static_libs/-lbgi /$prefix/lib/libbgi.a } || fail "shapes does not link statically"
    ! ldd "$work/pc/shapes_static" | grep -q libbgi || fail "shapes_static needs libbgi.so"

    echo "== pkg-config: the DOS-era programs, unchanged, as C"
    mkdir -p "$work/classic"
    for source in "$root"/tests/classic/*.c; do
        name=$(basename "$source" .c)
        # shellcheck disable=SC2046
        cc -std=gnu11 -Werror=implicit-function-declaration -o "$work/classic/$name" "$source" \
            $(pkg-config --cflags --libs bgi) 2>"$work/classic/$name.warnings" ||
            { cat "$work/classic/$name.warnings" >&2; fail "$name does not build"; }
    done

    echo "== CMake: find_package(BGI)"
    cmake -S "$root/tests/install" -B "$work/cmake" "-DCMAKE_PREFIX_PATH=$prefix" \
        "-DEXAMPLES=$examples" "-DCLASSIC=$root/tests/classic" >/dev/null ||
        fail "the CMake project does not configure"
    cmake --build "$work/cmake" -j"$jobs" >/dev/null || fail "the CMake project does not build"

    echo "== the shapes example, headless, from each build"
    local program
    for program in pc/shapes_c pc/shapes_cxx pc/shapes_static cmake/shapes_c cmake/shapes_cxx; do
        rm -f "$work/shot.png"
        (cd "$work" && LD_LIBRARY_PATH=$prefix/lib BGI_SNAPSHOT=shot.png \
            timeout 60 "$work/$program") || fail "$program ended with status $?"
        [ "$(picture_size "$work/shot.png")" = 640x480 ] || fail "$program made no 640x480 picture"
    done
    echo "== the DOS-era programs' pictures, from each build"
    LD_LIBRARY_PATH=$prefix/lib bash "$root/scripts/classic.sh" "$work/classic" "$work/shots-pc" ||
        fail "the DOS-era programs (pkg-config) do not draw what they should"
    LD_LIBRARY_PATH=$prefix/lib bash "$root/scripts/classic.sh" "$work/cmake/classic" \
        "$work/shots-cmake" >/dev/null || fail "the DOS-era programs (CMake) do not draw what they should"
    echo "ok: installed, built as C and C++ with pkg-config and CMake, and run"
}

windows() {
    local arch build prefix source name exe
    for arch in i686 x86_64; do
        if [ $arch = i686 ]; then build=${1:-$root/build-win32}; else build=${2:-$root/build-win64}; fi
        prefix=$work/$arch
        echo "== Windows ($arch): install, build each example with $arch-w64-mingw32-gcc"
        cmake --install "$build" --prefix "$prefix" >/dev/null
        for source in "$root"/examples/*.c; do
            name=$(basename "$source" .c)
            exe=$work/$arch-$name.exe
            "$arch-w64-mingw32-gcc" -std=c99 -o "$exe" "$source" -I"$prefix/include" \
                "$prefix/lib/libbgi.a" -lgdi32 -luser32 -lwinmm || fail "$name does not build for $arch"
            # Only the system's own DLLs: no MinGW runtime to ship beside it.
            local dlls
            dlls=$("$arch-w64-mingw32-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' |
                tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
            [ "$dlls" = "gdi32.dll kernel32.dll msvcrt.dll user32.dll " ] ||
                fail "$name ($arch) imports $dlls"
        done
        # DOS-era programs include MinGW's conio.h (through ours) beside
        # graphics.h: they build, and getch and kbhit are the library's.
        for source in "$root"/tests/classic/*.c; do
            name=$(basename "$source" .c)
            exe=$work/$arch-classic-$name.exe
            "$arch-w64-mingw32-gcc" -std=gnu11 -Werror=implicit-function-declaration -o "$exe" \
                "$source" -I"$prefix/include" "$prefix/lib/libbgi.a" -lgdi32 -luser32 -lwinmm \
                2>/dev/null || fail "$name (DOS-era) does not build for $arch"
            ! "$arch-w64-mingw32-objdump" -p "$exe" | grep -qwE 'getch|kbhit|getche' ||
                fail "$name ($arch) takes getch or kbhit from the C runtime"
        done
    done
    echo "== the 64-bit shapes example and a DOS-era program under Wine"
    cp "$work/x86_64-shapes.exe" "$work/shapes.exe"
    cp "$work/x86_64-classic-stars.exe" "$work/stars.exe"
    # Each shows its colour: the filled ellipse's green, the moon's yellow.
    "$root/scripts/xvfb-run.sh" bash "$0" --under-wine "$work/shapes.exe=#00FF00" \
        "$work/stars.exe=#FFFF00" || fail "the programs did not run under Wine"
    echo "ok: both Windows builds link with libbgi.a, gdi32, user32 and winmm alone; the programs run"
}

# On the Xvfb screen: runs the program, checks that its window shows the
# colour (#RRGGBB), and ends it with a key, which its getch reads from the
# window.
under_wine() {
    local program=$1 color=$2 window status=0
    BGI_WINE_TIMEOUT=120 "$root/scripts/wine-run.sh" "$program" &
    local pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Windows BGI$' | head -n 1) ||
        true
    if [ -z "$window" ]; then
        kill "$pid" 2>/dev/null
        echo "no window appeared" >&2
        return 1
    fi
    sleep 1
    import -window root "$work/wine.png"
    local shown
    shown=$(convert "$work/wine.png" -fill black +opaque "$color" -fill white -opaque "$color" \
        -format '%[fx:mean*w*h]' info:)
    timeout 10 xdotool windowactivate --sync "$window" key Return 2>/dev/null ||
        timeout 10 xdotool key Return
    wait "$pid" || status=$?
    [ "${shown%.*}" -gt 1000 ] || { echo "$program shows $shown pixels of $color" >&2; return 1; }
    [ "$status" = 0 ] || { echo "$program: exit status $status" >&2; return 1; }
}

case "${1:-}" in
native) shift; native "$@" ;;
windows) shift; windows "$@" ;;
--under-wine)
    shift
    work=$(dirname "$1")
    for run in "$@"; do under_wine "${run%%=*}" "${run#*=}"; done
    ;;
*) sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
