#!/usr/bin/env python3
"""Writes a C++ source that holds a file's bytes as a constant array.

Usage: embed_file.py NAME INPUT OUTPUT
Defines win32::gdi::embedded::NAME (the bytes, and a 0 after them) and
NAME_size (the count of the file's bytes).
"""
import os
import sys

name, source, target = sys.argv[1:4]
data = open(source, "rb").read()
lines = []
for at in range(0, len(data), 64):
    chunk = data[at:at + 64]
    lines.append('    "' + "".join("\\x%02x" % b for b in chunk) + '"')
os.makedirs(os.path.dirname(target) or ".", exist_ok=True)
with open(target, "w") as out:
    out.write("// Made by cmake/embed_file.py from %s.\n" % source)
    out.write("#include <cstddef>\n\nnamespace win32::gdi::embedded {\n\n")
    out.write("extern const unsigned char %s[];\nextern const std::size_t %s_size;\n" % (name, name))
    out.write("const unsigned char %s[] =\n%s;\n" % (name, "\n".join(lines) or '    ""'))
    out.write("const std::size_t %s_size = %d;\n\n} // namespace win32::gdi::embedded\n" % (name, len(data)))
