#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any is missing.
# Usage: scripts/setup.sh [game|test]   (test also brings the reference, end-to-end and fuzzing tools)
set -euo pipefail

# The fonts are the faces our font mapper names; fontconfig's fc-cache keeps
# the caches of their folders that it reads.
packages=(cmake make g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev
          fontconfig fonts-dejavu-core fonts-liberation fonts-urw-base35)
if [ "${1:-game}" = test ]; then
    packages+=(libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool imagemagick
               g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
               clang libfuzzer-14-dev libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
