#!/usr/bin/env bash
# End-to-end runs of a real BGI program in a real window, on a private Xvfb
# screen with no window manager:
#  1. draw_and_wait opens a maximised window and turns it blue; we type keys
#     with xdotool, check the echoed characters, check from a screenshot that
#     the window fills the screen in blue, then press Enter: exit status 0.
#  2. the same program, closed through its close box the way a window manager
#     does it (close_window); its waiting getch must end it with status 0.
#  3. the Snake game: a yellow square, which grows into a moving snake once
#     steered; Enter ends it with status 0. Without a display it says so and
#     ends with a non-zero status.
#  4. the zoom: zoom_pattern with BGI_ZOOM=3 sees a third of the screen, is
#     shown with each pixel as a 3 x 3 block, and gets clicks made with
#     xdotool in its own coordinates; with BGI_ZOOM=0 (no zoom) it sees the
#     whole screen.
#  5. the README's play command, scripts/play.sh: it builds the game and shows
#     its window; Enter ends it with status 0.
#
# Usage: scripts/e2e.sh [NATIVE_BUILD_DIR]   (default: build)
# KEEP_E2E=DIR keeps the screenshot and the programs' output in DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Everything below runs on a private screen of the size the checks expect.
if [ -z "${BGI_XVFB:-}" ]; then
    exec "$root/scripts/xvfb-run.sh" -s 1280x1024 bash "$0" "$@"
fi
build=$(cd "${1:-$root/build}" && pwd)

program="$build/tests/e2e/e2e_draw_and_wait"
close_window="$build/tests/e2e/e2e_close_window"
zoom_pattern="$build/tests/e2e/e2e_zoom_pattern"
game="$build/snake"
for p in "$program" "$close_window" "$zoom_pattern" "$game"; do
    if [ ! -x "$p" ]; then
        echo "e2e: $p is missing; build it first" >&2
        exit 2
    fi
done
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; exit 2; }
done

title="Windows BGI"
screen_width=1280
screen_height=1024
blue="#0000FF"

if [ -n "${KEEP_E2E:-}" ]; then
    mkdir -p "$KEEP_E2E"
    work=$(cd "$KEEP_E2E" && pwd)
else
    work=$(mktemp -d)
fi

program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -z "${KEEP_E2E:-}" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "e2e: FAIL: $*" >&2
    for f in "$work"/*.out "$work"/*.err; do
        [ -s "$f" ] && { echo "--- $(basename "$f")" >&2; cat "$f" >&2; }
    done
    exit 1
}

# Our display backend is SDL's X11 one here, never the dummy of the unit tests.
unset SDL_VIDEODRIVER

# Starts the program (or the one given second) in the background, bounded in
# time, output to NAME.out.
start_program() {
    timeout --kill-after=5 60 "${2:-$program}" >"$work/$1.out" 2>"$work/$1.err" &
    program_pid=$!
}

# Waits for the program to end; its exit status goes to $status.
wait_program() {
    status=0
    wait "$program_pid" || status=$?
    program_pid=
}

# The window's X id, once it is on the screen.
find_window() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1
}

# Waits until FILE holds at least N lines (the program flushes each one).
wait_lines() {
    for _ in $(seq 100); do
        [ "$(wc -l <"$1")" -ge "$2" ] && return 0
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ "$(wc -l <"$1")" -ge "$2" ]
}

# A failed check that leaves the run able to go on; reported at the end.
failures=0
check_failed() {
    echo "e2e: FAIL: $*" >&2
    failures=$((failures + 1))
}

pixel() { # FILE X Y -> #RRGGBB
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1
}

echo "== e2e: keys, picture and Enter (display $DISPLAY)"
start_program keys
window=$(find_window) || true
[ -n "$window" ] || fail "no window titled \"$title\" appeared"

# Real key events (XTEST) into the focused window, as a keyboard makes them.
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
timeout 10 xdotool type --delay 30 abc
timeout 10 xdotool key Left # no character: must not reach getch
timeout 10 xdotool key eacute
wait_lines "$work/keys.out" 4 || fail "the program echoed $(wc -l <"$work/keys.out") of 4 keys"

# The program now waits in getch, so its picture has been presented.
eval "$(xdotool getwindowgeometry --shell "$window")"
# shellcheck disable=SC2153 # X, Y, WIDTH and HEIGHT come from the eval above
if [ "$X" -ne 0 ] || [ "$Y" -ne 0 ] || [ "$WIDTH" -ne "$screen_width" ] ||
    [ "$HEIGHT" -ne "$screen_height" ]; then
    check_failed "the maximised window is ${WIDTH}x${HEIGHT}+$X+$Y, not the whole screen" \
        "(${screen_width}x${screen_height}+0+0)"
fi
timeout 30 import -window root "$work/shot.png" || fail "screenshot failed"
# The part of the window on the screen is all blue.
left=$((X < 0 ? 0 : X)) top=$((Y < 0 ? 0 : Y))
right=$((X + WIDTH > screen_width ? screen_width : X + WIDTH))
bottom=$((Y + HEIGHT > screen_height ? screen_height : Y + HEIGHT))
if [ "$right" -le "$left" ] || [ "$bottom" -le "$top" ]; then fail "the window is off the screen"; fi
colours=$(convert "$work/shot.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    -format '%k' info:)
[ "$colours" = 1 ] || check_failed "the window shows $colours colours, not one"
for point in "$left $top" "$(((left + right) / 2)) $(((top + bottom) / 2))" \
    "$((right - 1)) $((bottom - 1))"; do
    read -r px py <<<"$point"
    colour=$(pixel "$work/shot.png" "$px" "$py")
    [ "${colour^^}" = "$blue" ] || check_failed "screen pixel ($px, $py) is $colour, not $blue"
done

timeout 10 xdotool key Return
wait_program
[ "$status" -eq 0 ] || fail "exit status $status after Enter, not 0"
expected=$'97\n98\n99\n233\n13'
[ "$(cat "$work/keys.out")" = "$expected" ] ||
    fail "echoed $(tr '\n' ' ' <"$work/keys.out")instead of 97 98 99 233 13"
echo "ok: a b c Left e-acute Enter read as 97 98 99 233 13, exit 0"

echo "== e2e: close box"
start_program close
window=$(find_window) || true
[ -n "$window" ] || fail "no window titled \"$title\" appeared"
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
# One key first: once it is echoed the program is waiting in getch.
timeout 10 xdotool type x
wait_lines "$work/close.out" 1 || fail "the program did not echo the key"
timeout 10 "$close_window" "$title" || fail "close_window could not close the window"
wait_program
[ "$status" -eq 0 ] || fail "exit status $status after the close box, not 0"
[ "$(cat "$work/close.out")" = "120" ] ||
    fail "echoed $(tr '\n' ' ' <"$work/close.out")instead of 120"
echo "ok: closing the window ended the waiting program with status 0"

echo "== e2e: the Snake game"
# The pixels of one colour in a screenshot.
count_colour() { # FILE #RRGGBB
    convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean*w*h]' info:
}
# Where the pixels of one colour lie: WxH+X+Y of their bounding box.
colour_box() { # FILE #RRGGBB
    convert "$1" -fill black +opaque "$2" -trim -format '%@' info:
}
start_program game "$game"
window=$(find_window) || true
[ -n "$window" ] || fail "no game window appeared"
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the game window"
# Left alone, the snake moves up a cell every fifth frame: after a second its three squares,
# which start on one another, lie apart.
sleep 1
timeout 30 import -window root "$work/game1.png" || fail "screenshot failed"
yellow=$(count_colour "$work/game1.png" "#FFFF00")
# (Four, should it have eaten the pickup on its way.)
[ "${yellow%.*}" -ge $((3 * 196)) ] && [ $((${yellow%.*} % 196)) -eq 0 ] ||
    check_failed "the snake shows $yellow yellow pixels, not whole 14 x 14 squares, three or more"
cyan=$(count_colour "$work/game1.png" "#00FFFF")
[ "${cyan%.*}" -eq 196 ] || check_failed "the pickup shows $cyan cyan pixels, not 196"
before=$(colour_box "$work/game1.png" "#FFFF00")
# Steered left, it turns and goes on moving.
timeout 10 xdotool key a
sleep 1
timeout 30 import -window root "$work/game2.png" || fail "screenshot failed"
yellow=$(count_colour "$work/game2.png" "#FFFF00")
[ "${yellow%.*}" -ge $((3 * 196)) ] ||
    check_failed "the steered snake shows $yellow yellow pixels, not three squares"
after=$(colour_box "$work/game2.png" "#FFFF00")
[ "$before" != "$after" ] || check_failed "the snake did not move ($before)"
timeout 10 xdotool key Return
wait_program
[ "$status" -eq 0 ] || fail "the game's exit status is $status after Enter, not 0"
echo "ok: the game drew its snake and pickup, moved when steered, and ended on Enter"

echo "== e2e: the zoom"
# Starts zoom_pattern with BGI_ZOOM set to SETTING, output to NAME.out; checks
# that it sees the screen divided by ZOOM.
start_zoomed() { # NAME SETTING ZOOM
    BGI_ZOOM=$2 start_program "$1" "$zoom_pattern"
    window=$(find_window) || true
    [ -n "$window" ] || fail "no window appeared with BGI_ZOOM=$2"
    wait_lines "$work/$1.out" 1 || fail "with BGI_ZOOM=$2 the program did not print its size"
    seen_width=$((screen_width / $3)) seen_height=$((screen_height / $3))
    [ "$(head -n 1 "$work/$1.out")" = "size $seen_width $seen_height" ] ||
        check_failed "with BGI_ZOOM=$2 the program sees $(head -n 1 "$work/$1.out")," \
            "not size $seen_width $seen_height"
}
# Ends it with a key, which must end it with status 0.
end_zoomed() { # SETTING
    timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
    timeout 10 xdotool key x
    wait_program
    [ "$status" -eq 0 ] || fail "with BGI_ZOOM=$1 the exit status is $status, not 0"
}
zoom=3
start_zoomed zoom $zoom $zoom
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -eq $((seen_width * zoom)) ] && [ "$HEIGHT" -eq $((seen_height * zoom)) ] ||
    check_failed "the zoomed window is ${WIDTH}x${HEIGHT}, not" \
        "$((seen_width * zoom))x$((seen_height * zoom))"
sleep 0.5 # the picture is shown at the program's next wait
timeout 30 import -window root "$work/zoom.png" || fail "screenshot failed"
# The yellow pixel at (100, 50) is one block.
yellow_box=$(convert "$work/zoom.png" -fill black +opaque "#FFFF00" -format '%@' info:)
[ "$yellow_box" = "${zoom}x${zoom}+$((100 * zoom))+$((50 * zoom))" ] ||
    check_failed "the yellow pixel shows as $yellow_box, not one ${zoom} x ${zoom} block"
# The board at (20, 20): every screen pixel takes its block's colour, light red
# and white by turns.
board=$(convert "$work/zoom.png" -crop "$((4 * zoom))x$((4 * zoom))+$((20 * zoom))+$((20 * zoom))" \
    +repage -depth 8 txt:- | sed -n 's/^\([0-9]*\),\([0-9]*\):.*\(#[0-9A-Fa-f]\{6\}\).*/\1 \2 \3/p' |
    awk -v z="$zoom" '
    { c[$1, $2] = $3 }
    END {
        red = c[0, 0]; white = c[z, 0]
        if (white != "#FFFFFF" || red == white || red == "#000000") { print "colours " red " " white; exit }
        for (y = 0; y < 4 * z; ++y) for (x = 0; x < 4 * z; ++x) {
            want = (int(x / z) + int(y / z)) % 2 ? white : red
            if (c[x, y] != want) { print "screen pixel " x "," y " is " c[x, y]; exit }
        }
        print "ok"
    }')
[ "$board" = ok ] || check_failed "the zoomed board of pixels is wrong: $board"
# Clicks on the screen reach the program in its own pixels. The button is held
# a while, as the program looks at it between waits.
click_at() {
    timeout 10 xdotool mousemove "$1" "$2" mousedown 1 sleep 0.2 mouseup 1 sleep 0.1
}
click_at $((100 * zoom + 1)) $((50 * zoom + 2))
click_at $((seen_width * zoom - 1)) $((seen_height * zoom - 1))
click_at 2 2
wait_lines "$work/zoom.out" 4 || check_failed "the program saw $(($(wc -l <"$work/zoom.out") - 1)) of 3 clicks"
expected="size $seen_width $seen_height
click 100 50
click $((seen_width - 1)) $((seen_height - 1))
click 0 0"
[ "$(cat "$work/zoom.out")" = "$expected" ] ||
    check_failed "the zoomed program printed: $(tr '\n' ';' <"$work/zoom.out")"
end_zoomed $zoom
# Anything but 1..8 is no zoom.
start_zoomed nozoom 0 1
end_zoomed 0
echo "ok: zoomed $zoom times, each pixel a block and clicks in the program's pixels; 0 is no zoom"

echo "== e2e: the README's play command"
# scripts/play.sh builds the game in a build directory of its own and starts
# it; the build may take minutes, so the window is waited for longer.
timeout --kill-after=5 900 bash "$root/scripts/play.sh" >"$work/play.out" 2>"$work/play.err" &
program_pid=$!
window=
for _ in $(seq 180); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 5
done
[ -n "$window" ] || fail "scripts/play.sh showed no game window"
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the game window"
sleep 0.5
timeout 10 xdotool key Return
wait_program
[ "$status" -eq 0 ] || fail "scripts/play.sh ended with status $status after Enter, not 0"
echo "ok: scripts/play.sh built the game and started it in a window; Enter ended it"

env -u DISPLAY timeout --kill-after=5 30 "$game" >"$work/nodisplay.out" 2>"$work/nodisplay.err" &&
    fail "without a display the game ended with status 0"
grep -q "display" "$work/nodisplay.err" ||
    fail "without a display the game said: $(cat "$work/nodisplay.err")"
echo "ok: without a display the game says so and fails: $(tail -n 1 "$work/nodisplay.err")"

[ "$failures" -eq 0 ] || fail "$failures check(s) failed"
echo "e2e: all checks passed"
