#!/usr/bin/env python3
"""Writes the fuzz target's seed corpus: one file per family of calls, each a
short program in the target's own encoding (an operation byte, then its
arguments), so that fuzzing starts from inputs that already draw something.

Usage: tests/fuzz/make_corpus.py [directory]   (default: tests/fuzz/corpus)
The operation numbers and argument encodings follow bgi_fuzz.cpp; change both
together.
"""
import struct
import sys
from pathlib import Path


class Program:
    def __init__(self):
        self.out = bytearray()

    def op(self, code, *args):
        self.out.append(code)
        for a in args:
            if isinstance(a, (bytes, bytearray)):
                self.out += a
            else:
                self.out += num(a)
        return self


def num(v):
    """A number: small ones on the picture, others as 32 bits."""
    if -64 <= v <= 959:
        return bytes([4, (v + 64) & 0xFF, (v + 64) >> 8])
    return bytes([2]) + struct.pack('<i', v)


def byte(v):
    return bytes([v & 0xFF])


def u32(v):
    return struct.pack('<I', v & 0xFFFFFFFF)


def text(s):
    return bytes([len(s)]) + s.encode('latin-1')


def real(v):
    return struct.pack('<d', v)


def lines_and_styles():
    p = Program()
    for style in range(5):
        p.op(8, style, u32(0xF0F0 >> style), style % 4)  # setlinestyle
        p.op(3, 1 + style)  # setcolor
        p.op(14, 10, 10 + style * 20, 300, 40 + style * 30)  # line
        p.op(19, 20 + style * 10, 20, 120 + style * 20, 150)  # rectangle
    p.op(9, 1)  # setwritemode XOR
    p.op(15, 160, 100).op(12, 300, 190).op(13, -100, -50)  # moveto, lineto, linerel
    p.op(16, 5, 5).op(12, 0, 0)  # moverel, lineto
    p.op(14, 100, 100, 100, 100)  # a point, wide
    p.op(9, 0)
    p.op(14, -40000, 5, 40000, 195)  # far outside
    return p


def fills_and_polygons():
    p = Program()
    for pattern in range(13):
        p.op(10, pattern, pattern + 1)  # setfillstyle
        p.op(20, pattern * 20, 10, pattern * 20 + 15, 60)  # bar
    p.op(11, bytes([0xAA, 0x55] * 4), 14)  # setfillpattern
    p.op(21, 40, 80, 140, 160, 15, 1)  # bar3d
    p.op(17, 4, 10, 10, 100, 20, 60, 90, 10, 10, byte(1))  # drawpoly
    p.op(18, 5, 160, 10, 300, 30, 200, 190, 180, 60, 310, 150, byte(1))  # fillpoly
    p.op(3, 15).op(19, 200, 100, 260, 160)
    p.op(22, 230, 130, 15)  # floodfill inside the outline
    p.op(23, 5, 5, 4).op(24, 5, 5)  # putpixel, getpixel
    p.op(59, 100, 170, 2)  # the game's square
    return p


def arcs():
    p = Program()
    p.op(25, 160, 100, 0, 270, 50)  # arc
    p.op(31, byte(1))  # getarccoords
    p.op(26, 60, 60, 40)  # circle
    p.op(10, 1, 4).op(27, 250, 60, 30, 300, 45)  # pieslice
    p.op(28, 160, 150, 90, 450, 80, 30)  # ellipse
    p.op(29, 80, 150, 50, 25)  # fillellipse
    p.op(30, 250, 150, -45, 45, 60, 40)  # sector
    p.op(54, 10000, 7000).op(26, 160, 100, 70)  # setaspectratio, circle
    p.op(8, 0, u32(0), 3).op(25, 160, 100, 359, 361, 90)  # a thick arc
    p.op(26, 0, 0, 100000)  # a circle far larger than the picture
    return p


def text_styles():
    p = Program()
    for font in range(5):
        p.op(32, font, font & 1, 1 + font % 3)  # settextstyle
        p.op(33, font % 3, font % 3)  # settextjustify
        p.op(36, 40 + font * 50, 20 + font * 30, text('Snake %d' % font))
    p.op(34, 3, 1, 2, 1).op(32, 1, 0, 0)  # setusercharsize, user size
    p.op(35, text('outtext at the pointer'))
    p.op(37, text('width')).op(38, text('height'))
    p.op(32, 0, 1, 2).op(36, 300, 190, text('Upwards'))
    return p


def images():
    p = Program()
    p.op(10, 1, 12).op(20, 10, 10, 70, 50)
    p.op(39, 10, 10, 70, 50)  # getimage
    for mode in range(5):
        p.op(40, 80 + mode * 40, 20 + mode * 25, mode)  # putimage in every mode
    p.op(40, 300, 190, 0).op(40, -30, -20, 1)  # partly off the picture
    block = bytes([16, 0, 4, 0]) + bytes(range(0, 64, 2))  # a header and its rows
    p.op(41, byte(len(block) - 4), block, 20, 150, 0)
    p.op(42, 0, 0, 319, 199)  # imagesize
    p.op(39, 0, 0, 2000, 3)  # a wide strip, then a tall one
    p.op(40, 0, 100, 0)
    p.op(39, 0, 0, 3, 1500)
    p.op(40, 100, 0, 0)
    return p


def pages_and_viewports():
    p = Program()
    p.op(43, 1).op(26, 160, 100, 60).op(44, 1)  # draw on page 1, show it
    p.op(43, 0).op(45).op(44, 0)  # cleardevice on page 0
    p.op(47, 20, 20, 200, 150, 1)  # setviewport, clipped
    p.op(14, -10, -10, 400, 300).op(19, 0, 0, 180, 130)
    p.op(48)  # getviewsettings
    p.op(46)  # clearviewport
    p.op(47, 100, 50, 319, 199, 0).op(26, 0, 0, 80)  # unclipped
    p.op(43, 7).op(44, -1)  # pages that do not exist
    return p


def palettes_and_modes():
    p = Program()
    p.op(4, 1).op(5, 2, 60).op(6, 3, 255, 128, 0)  # bk colour, setpalette, setrgbpalette
    p.op(7, byte(16), bytes(range(16)))  # setallpalette
    p.op(55, 3, 5, byte(4), byte(9))  # queries
    p.op(2)  # graphdefaults
    p.op(0, 9, 2, byte(1))  # initgraph VGA
    p.op(58, 1)  # setgraphmode, restorecrtmode
    p.op(57, 0).op(0, 0, 0, byte(0))  # default mode, detect
    p.op(56, 0).op(20, 0, 0, 50, 50).op(56, 1)  # redraw handling off and on
    p.op(1).op(26, 10, 10, 5)  # closegraph, then draw
    p.op(0, 99, 99, byte(1))  # an unknown driver
    return p


def input_and_window():
    p = Program()
    p.op(50, text('wasd\r1'))  # typed keys
    p.op(49)  # kbhit
    p.op(53, 100, 80, byte(0))  # mouse move
    p.op(53, 100, 80, byte(1), byte(0), byte(1))  # button down
    p.op(53, 400, 300, byte(2))  # resize
    p.op(53, 0, 0, byte(3)).op(53, 0, 0, byte(4))  # minimise, restore
    p.op(53, 0, 0, byte(5), byte(0))  # focus lost
    p.op(51, byte(1))  # delay
    pts = [(10.0, 20.0, 0.0), (float('nan'), 1e308, -1e308), (150.0, 90.0, 3.0)]
    p.op(52, len(pts), 5, b''.join(real(c) for pt in pts for c in pt))  # active points
    p.op(63)  # nine pens and fonts, past the caches
    return p


def dos_companions():
    p = Program()
    p.op(62, 0, 0, 0, 0, byte(5), byte(1), 9, 2)  # a window with classic behaviour
    p.op(5, 3, 20).op(6, 20, 255, 0, 0)  # an EGA code, then its register
    p.op(10, 1, 14).op(20, 10, 10, 60, 40)  # a bar in its own colour
    p.op(62, 0, 0, 0, 0, byte(0))  # mouse reset
    p.op(62, 7, 0, 300, 100, byte(0))  # horizontal limits
    p.op(62, 3, 0, 0, 0, byte(0))  # position and buttons
    p.op(62, 0x100, 0, 0, 0, byte(1), 0x16)  # is a key waiting?
    p.op(62, 0, 0, 0, 0, byte(2), 0)  # bioskey
    p.op(62, 0, 0, 0, 0, byte(3), 9, 8192)  # mode range, buffer size
    p.op(62, 0, 0, 0, 0, byte(4), text('TRIP.CHR'), text('SVGA256'), byte(1), byte(1))
    return p


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / 'corpus')
    out.mkdir(parents=True, exist_ok=True)
    for make in (lines_and_styles, fills_and_polygons, arcs, text_styles, images,
                 pages_and_viewports, palettes_and_modes, input_and_window, dos_companions):
        (out / make.__name__).write_bytes(bytes(make().out))


if __name__ == '__main__':
    main()
