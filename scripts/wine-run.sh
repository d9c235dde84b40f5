#!/usr/bin/env bash
# Runs a Windows program under Wine, in a prefix of our own, bounded in time.
# Usage: scripts/wine-run.sh program.exe [args...]
set -uo pipefail
export WINEPREFIX="${BGI_WINEPREFIX:-/tmp/bgi-wineprefix-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
exec timeout --kill-after=10 "${BGI_WINE_TIMEOUT:-300}" "$wine" "$@"
