#!/usr/bin/env bash
# Fetches Debian's source package of FreeType, the version the desktop build
# uses, and unpacks it (Debian's patches applied) into DEST.
# Usage: scripts/freetype_source.sh DEST
# Needs the Debian source archive in apt's lists: scripts/setup.sh web adds it.
set -euo pipefail
dest=$1
version=$(dpkg-query -W -f='${Version}' libfreetype6 2>/dev/null || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! timeout 600 apt-get source -qq "freetype${version:+=$version}" >/dev/null 2>apt.log; then
    cat apt.log >&2
    echo "freetype_source: apt-get source freetype failed; run scripts/setup.sh web" >&2
    exit 1
fi
rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
mv "$(find . -maxdepth 1 -type d -name 'freetype-*' | head -n 1)" "$dest"
