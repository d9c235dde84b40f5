#!/usr/bin/env python3
"""Writes the script that carries font files inside a one-file web page.

Usage: embed_fonts.py OUTPUT FONT_FILE...
The script sets Module.bgiFontFiles: each file's name to the base64 of its
gzip, which the page unpacks (platform/src/display/browser_page.js) only
when the program first asks for that file.
"""
import base64
import gzip
import os
import sys

target, sources = sys.argv[1], sys.argv[2:]
lines = []
for source in sources:
    with open(source, "rb") as f:
        packed = gzip.compress(f.read(), compresslevel=9, mtime=0)
    lines.append("  '%s': '%s'," % (os.path.basename(source), base64.b64encode(packed).decode()))
with open(target, "w") as out:
    out.write("// Made by cmake/embed_fonts.py: the font files a one-file page carries.\n")
    out.write("Module['bgiFontFiles'] = {\n%s\n};\n" % "\n".join(lines))
