#!/usr/bin/env bash
# Runs the DOS-era programs of tests/classic headless, each as it is and with
# BGI_CLASSIC=1, with the keys, mouse events and terminal input that
# tests/classic/runs gives them, and compares their pictures with those kept
# in tests/classic/expected (NAME.png, NAME-classic.png). Fails when a program
# fails, makes no picture or makes another one.
#
# Usage: scripts/classic.sh BIN_DIR [OUT_DIR]    the programs are BIN_DIR/NAME
#        scripts/classic.sh --renew BIN_DIR      writes the expected pictures
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
renew=
if [ "${1:-}" = --renew ]; then renew=1; shift; fi
[ $# -ge 1 ] || { sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2; }
bin=$(cd "$1" && pwd)
expected=$root/tests/classic/expected
out=${2:-$(mktemp -d)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
[ -n "$renew" ] && mkdir -p "$expected"

status=0
fail() {
    echo "classic: $*" >&2
    status=1
}

while read -r name settings; do
    [[ -z $name || $name == \#* ]] && continue
    eval "words=($settings)"
    input= environment=()
    for word in ${words[@]+"${words[@]}"}; do
        case $word in
        STDIN=*) input=${word#STDIN=} ;;
        *) environment+=("$word") ;;
        esac
    done
    for mode in plain classic; do
        picture=$name.png
        settings_of_mode=(BGI_SNAPSHOT="$picture")
        if [ $mode = classic ]; then
            picture=$name-classic.png
            settings_of_mode=(BGI_SNAPSHOT="$picture" BGI_CLASSIC=1)
        fi
        rm -f "$out/$picture"
        if ! printf '%s' "$input" | (cd "$out" && env ${environment[@]+"${environment[@]}"} \
            "${settings_of_mode[@]}" timeout 30 "$bin/$name" >"$out/$name-$mode.txt" 2>&1); then
            fail "$name ($mode) failed; see $out/$name-$mode.txt"
            continue
        fi
        [ -s "$out/$picture" ] || { fail "$name ($mode) made no picture"; continue; }
        if [ -n "$renew" ]; then
            cp "$out/$picture" "$expected/$picture"
            echo "$picture"
            continue
        fi
        differing=$(compare -metric AE "$out/$picture" "$expected/$picture" null: 2>&1) || true
        if [ "$differing" = 0 ]; then
            echo "$picture: as expected"
        else
            fail "$picture differs from tests/classic/expected/$picture ($differing pixels); see $out"
        fi
    done
done <"$root/tests/classic/runs"
exit $status
