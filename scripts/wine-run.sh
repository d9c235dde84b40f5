#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of our own set up as the
# reference (scripts/wine-reference.reg, imported once per prefix and again
# when it changes; scripts/wine-fonts.conf), bounded in time.
# Usage: scripts/wine-run.sh program.exe [args...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${BGI_WINEPREFIX:-/tmp/bgi-wineprefix-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export FONTCONFIG_FILE="$here/wine-fonts.conf"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
limit=${BGI_WINE_TIMEOUT:-300}

settings="$here/wine-reference.reg"
stamp="$WINEPREFIX/bgi-reference-$(cksum <"$settings" | cut -d' ' -f1)"
if [ ! -e "$stamp" ]; then
    timeout --kill-after=10 "$limit" "$wine" reg import "$settings" >/dev/null 2>&1 &&
        touch "$stamp" || echo "wine-run: could not import $settings" >&2
fi
exec timeout --kill-after=10 "$limit" "$wine" "$@"
