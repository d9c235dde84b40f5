#!/usr/bin/env bash
# Times the BGI calls of bench/api_speed.cpp in our build and in the Windows
# build under Wine (the reference GDI), on one 1920 x 1080 Xvfb screen, and
# prints a Markdown table: call | ours ns | reference ns | ours calls/s |
# reference calls/s | speed-up, where the speed-up is reference / ours, the
# ratio of the calls per second (above 1x: we are faster).
#
# Usage: scripts/compare_speed.sh [-r ROUNDS] [-- API_SPEED_ARGS...]
#   -r ROUNDS  runs of each build, taken in turn (ours, Wine, ours, Wine, ...);
#              default 2. Each cell is the median of the rounds, and the runs
#              are listed beside it, which shows the noise.
#   API_SPEED_ARGS go to both programs, e.g. `-- --min-time 0.5 line_500 bar_100`
#   (api_speed --list names the workloads).
# Environment: BUILD_DIR (default build-speed), WIN_BUILD_DIR (default
# build-speed-win64), JOBS (default 2).
#
# Needs the packages of `bash scripts/setup.sh test`. Not part of the test run:
# it takes a few minutes and its numbers depend on the machine's load.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Second stage, on the Xvfb screen: scripts/compare_speed.sh --on-screen OUT ROUNDS ARGS...
if [ "${1:-}" = --on-screen ]; then
    out=$2 rounds=$3
    shift 3
    unset SDL_VIDEODRIVER # our build opens a real window on the X display
    status=0
    for round in $(seq "$rounds"); do
        echo "== round $round: ours" >&2
        timeout --kill-after=10 900 "$native_exe" "$@" >"$out/ours.$round" || status=1
        echo "== round $round: reference (Wine)" >&2
        BGI_WINE_TIMEOUT=900 "$root/scripts/wine-run.sh" "$windows_exe" "$@" \
            >"$out/reference.$round" || status=1
    done
    exit $status
fi

rounds=2
while [ $# -gt 0 ]; do
    case $1 in
    -r)
        rounds=$2
        shift 2
        ;;
    --)
        shift
        break
        ;;
    *)
        sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
        exit 2
        ;;
    esac
done
[[ $rounds =~ ^[1-9][0-9]*$ ]] || { echo "compare_speed: -r wants a positive count" >&2; exit 2; }

for tool in cmake Xvfb x86_64-w64-mingw32-g++-posix wine; do
    command -v "$tool" >/dev/null || {
        echo "compare_speed: $tool is missing; run: bash scripts/setup.sh test" >&2
        exit 2
    }
done

jobs=${JOBS:-2}
native_dir=${BUILD_DIR:-$root/build-speed}
windows_dir=${WIN_BUILD_DIR:-$root/build-speed-win64}

echo "== building api_speed (ours, and 64-bit Windows)" >&2
cmake -S "$root" -B "$native_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBGI_TESTS=OFF >/dev/null
cmake --build "$native_dir" -j"$jobs" --target api_speed >/dev/null
cmake -S "$root" -B "$windows_dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBGI_TESTS=OFF >/dev/null
cmake --build "$windows_dir" -j"$jobs" --target api_speed >/dev/null
export native_exe windows_exe
native_exe=$(cd "$native_dir" && pwd)/bench/api_speed
windows_exe=$(cd "$windows_dir" && pwd)/bench/api_speed.exe

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
# A Wine prefix of our own; scripts/xvfb-run.sh waits for its server at the end.
export BGI_WINEPREFIX="$work/wineprefix"
status=0
BGI_XVFB_TIMEOUT=3600 "$root/scripts/xvfb-run.sh" -s 1920x1080 \
    bash "$root/scripts/compare_speed.sh" --on-screen "$work" "$rounds" "$@" || status=$?

# The outputs in the order they were taken; Wine's programs end lines with CR LF.
outputs=()
for round in $(seq "$rounds"); do
    for side in ours reference; do
        [ -f "$work/$side.$round" ] || continue
        tr -d '\r' <"$work/$side.$round" >"$work/$side.$round.txt"
        outputs+=("$work/$side.$round.txt")
    done
done
[ ${#outputs[@]} -gt 0 ] || { echo "compare_speed: no run produced output" >&2; exit 1; }

echo
echo "Machine: $(nproc) cores, $(uname -m), load $(cut -d' ' -f1-3 /proc/loadavg);" \
    "$(wine --version 2>/dev/null || echo wine); $(date -u +%Y-%m-%d)"
for side in ours reference; do
    [ -f "$work/$side.1.txt" ] && echo "$side: $(grep -m1 '^# getmaxx' "$work/$side.1.txt" | cut -c3-)"
done
echo
awk -v rounds="$rounds" '
    function median(list, n,    a, i, j, t) {
        n = split(list, a, " ")
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n == 0 ? "" : (n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2)
    }
    function ns(v) { return v == "" ? "-" : (v >= 100 ? sprintf("%.0f", v) : sprintf("%.1f", v)) }
    function rate(v,    r) {
        if (v == "" || v <= 0) return "-"
        r = 1e9 / v
        return r >= 1e6 ? sprintf("%.2f M", r / 1e6) : (r >= 1e3 ? sprintf("%.1f k", r / 1e3) : sprintf("%.0f", r))
    }
    function runs(list,    a, n, i, s) {
        n = split(list, a, " ")
        for (i = 1; i <= n; ++i) s = s (i > 1 ? ", " : "") ns(a[i])
        return n ? s : "-"
    }
    FNR == 1 { side = (FILENAME ~ /\/ours\./) ? "ours" : "reference" }
    /^#/ || NF != 2 { next }
    {
        if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }
        values[side, $1] = values[side, $1] " " $2
    }
    END {
        print "| call | ours ns | reference ns | ours calls/s | reference calls/s | speed-up | ours, each run | reference, each run |"
        print "|---|---|---|---|---|---|---|---|"
        for (i = 1; i <= count; ++i) {
            name = order[i]
            o = median(values["ours", name]); r = median(values["reference", name])
            speed = (o != "" && r != "" && o > 0) ? sprintf(r / o < 0.1 ? "%.3fx" : "%.2fx", r / o) : "-"
            printf "| `%s` | %s | %s | %s | %s | %s | %s | %s |\n", name, ns(o), ns(r), rate(o), rate(r),
                speed, runs(values["ours", name]), runs(values["reference", name])
        }
    }' "${outputs[@]}"

if [ "$status" != 0 ]; then
    echo "compare_speed: a run failed or a workload drew the wrong picture (see above)" >&2
fi
exit "$status"
