#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any is missing.
# Usage: scripts/setup.sh [game|test|web]
#   test also brings the reference, end-to-end, fuzzing and browser tools;
#   web what building programs into web pages needs (emscripten, and the
#   source of Debian's FreeType, which the build compiles for the browser).
set -euo pipefail

# The fonts are the faces our font mapper names; fontconfig's fc-cache keeps
# the caches of their folders that it reads.
packages=(cmake make g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev
          fontconfig fonts-dejavu-core fonts-liberation fonts-urw-base35)
web=(emscripten dpkg-dev chromium chromium-driver python3-selenium)
case "${1:-game}" in
test)
    packages+=(libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool imagemagick
               g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
               clang libfuzzer-14-dev libclang-rt-14-dev "${web[@]}")
    ;;
web) packages+=("${web[@]}") ;;
esac

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    updated=1
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The browser build compiles FreeType from Debian's own source package, so the
# machine's Debian archive must also list its sources: the same archives and
# suites as its package lines, as deb-src.
if [ "${1:-game}" != game ] && ! apt-cache showsrc freetype 2>/dev/null | grep '^Package:' >/dev/null; then
    list=/etc/apt/sources.list.d/bgi-debian-src.list
    echo "Adding the Debian source archive: $list"
    {
        # One-line entries of Debian's archive...
        cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
            awk '$1 == "deb" && $0 ~ /\/debian(-security)?\/? / { $1 = "deb-src"; print }' || true
        # ...and deb822 stanzas of it.
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -e "$f" ] || continue
            awk 'BEGIN { RS = ""; FS = "\n" }
                 {
                     types = ""; uris = ""; suites = ""; comps = ""; signed = ""
                     for (i = 1; i <= NF; i++) {
                         split($i, kv, ": ")
                         if (kv[1] == "Types") types = kv[2]
                         else if (kv[1] == "URIs") uris = kv[2]
                         else if (kv[1] == "Suites") suites = kv[2]
                         else if (kv[1] == "Components") comps = kv[2]
                         else if (kv[1] == "Signed-By") signed = kv[2]
                     }
                     if (types !~ /(^| )deb( |$)/ || uris !~ /\/debian(-security)?\/?$/) next
                     n = split(suites, s, " ")
                     for (j = 1; j <= n; j++)
                         printf "deb-src %s%s %s %s\n", (signed ? "[signed-by=" signed "] " : ""),
                                uris, s[j], comps
                 }' "$f"
        done
    } | "${sudo_cmd[@]}" tee "$list" >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
fi
