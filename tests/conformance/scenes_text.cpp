// Text scenes: the eleven BGI fonts, made with the very CreateFontA arguments
// the BGI layer passes (src/bgi/text_tables.h), so by the face names of its
// table, measured and drawn through the platform interface.
#include "scene_kit.h"
#include "text_tables.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace conformance {

namespace {

using bgi::font_count;
using bgi::max_charsize;

// Strings measured at every font, size and direction: the game's own, all
// letters, digits, narrow characters, and bytes of code page 1252 beyond
// ASCII (C cedilla, u circumflex, the euro sign, guillemets, y diaeresis).
const char *const measured_strings[] = {
    "Game Over!",
    "The quick brown fox jumps over the lazy dog",
    "0123456789",
    "iIl1|.,;:'",
    ("\xC7"
     "a co\xFBte 5 \x80 \xAB\xFF\xBB"), // one string, its escape ended before the "a"
};

constexpr int kInk = 0x5A;  // text colour index
constexpr int kCell = 0xC3; // background colour of the text's cell
constexpr int kMargin = 4;

bgi::cell cell_of(int font, int size) {
    return (*bgi::font_metrics[font])[size];
}

HFONT bgi_font(int font, int size, int direction) {
    const bgi::cell c = cell_of(font, size);
    return bgi::create_font(font, direction, c.width, c.height);
}

SIZE extent(HDC dc, const std::string &text) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
    return size;
}

// The extent of a text in a font, measured on a scratch DC; the font is
// deleted after.
SIZE measure(HFONT font, const std::string &text) {
    Canvas probe(8, 8, kClear);
    Selected selected(probe.dc(), font);
    return extent(probe.dc(), text);
}

void text_out(HDC dc, int x, int y, const std::string &text) {
    TextOutA(dc, x, y, text.data(), int(text.size()));
}

// Text in kInk on a cell of kCell (the opaque background mode stays).
void text_colours(HDC dc) {
    SetTextColor(dc, pal(kInk));
    SetBkColor(dc, pal(kCell));
}

// textwidth and textheight of every string at every size and direction of
// one font: a row per direction and size, the width and height of each
// string across.
void text_measures(DumpFile &out, int font) {
    Canvas canvas(8, 8, kClear);
    constexpr int strings = int(std::size(measured_strings));
    std::vector<COLORREF> values;
    for (int direction = 0; direction < 2; ++direction) {
        for (int size = 1; size <= max_charsize; ++size) {
            Selected selected(canvas.dc(), bgi_font(font, size, direction));
            for (const char *text : measured_strings) {
                const SIZE s = extent(canvas.dc(), text);
                values.push_back(COLORREF(s.cx));
                values.push_back(COLORREF(s.cy));
            }
        }
    }
    out.values("text_measures_font" + std::to_string(font), 2 * strings, 2 * max_charsize, values);
}

// "Game Over!" in the nine justifications of horizontal text, each at its
// own reference point: a column per horizontal justification, a row per
// vertical one.
void text_justify(DumpFile &out, int font, int size) {
    const std::string text = "Game Over!";
    const SIZE s = measure(bgi_font(font, size, 0), text);
    const int gap = 6, column = int(s.cx) + gap, row = int(s.cy) + gap;
    Canvas canvas(2 * kMargin + 3 * column, 2 * kMargin + 3 * row, kClear);
    HDC dc = canvas.dc();
    Selected selected(dc, bgi_font(font, size, 0));
    text_colours(dc);
    for (int h = 0; h < 3; ++h) {
        // The reference point where the text of this justification begins,
        // its middle and its end lie in the column.
        const int x = kMargin + h * column + h * int(s.cx) / 2;
        for (int v = 0; v < 3; ++v) {
            // Bottom, baseline (about four fifths down the cell) and top.
            const int y = kMargin + v * row + (v == 0 ? int(s.cy) : v == 1 ? int(s.cy) * 4 / 5 : 0);
            SetTextAlign(dc, bgi::text_halign_cnv[h] | bgi::text_valign_cnv[v]);
            text_out(dc, x, y, text);
        }
    }
    out.pixels("text_justify_font" + std::to_string(font) + "_size" + std::to_string(size), dc,
               canvas.width(), canvas.height());
}

// Vertical text (one quarter turn) in three justifications, as the BGI layer
// aligns it: justification (horiz, vert) gives valign(horiz) | halign(vert).
// Drawn in the transparent background mode: the reference paints no cell
// behind turned text (text_vertical_opaque shows it).
void text_vertical(DumpFile &out, int font, int size, int mode = TRANSPARENT) {
    const std::string text = "Game Over!";
    const SIZE s = measure(bgi_font(font, size, 1), text);
    const int gap = 6, column = int(s.cy) + gap;
    Canvas canvas(2 * kMargin + 3 * column, 2 * kMargin + 2 * int(s.cx) + gap, kClear);
    HDC dc = canvas.dc();
    Selected selected(dc, bgi_font(font, size, 1));
    text_colours(dc);
    SetBkMode(dc, mode);
    const int justifications[3][2] = {{0, 2}, {1, 1}, {2, 0}};
    for (int i = 0; i < 3; ++i) {
        const auto [horiz, vert] = justifications[i];
        SetTextAlign(dc, bgi::text_valign_cnv[horiz] | bgi::text_halign_cnv[vert]);
        // Across the text: bottom, baseline and top.
        const int x = kMargin + i * column + (i == 0 ? int(s.cy) : i == 1 ? int(s.cy) * 4 / 5 : 0);
        text_out(dc, x, kMargin + int(s.cx) + gap / 2, text);
    }
    out.pixels("text_vertical" + std::string(mode == OPAQUE ? "_opaque" : "") + "_font" +
                   std::to_string(font) + "_size" + std::to_string(size),
               dc, canvas.width(), canvas.height());
}

// Every byte from 32 to 255 at size 1, 32 to a line: each glyph's pixels and
// where it lands.
void text_charset(DumpFile &out, int font) {
    std::vector<std::string> lines;
    for (int first = 32; first < 256; first += 32) {
        std::string line;
        for (int byte = first; byte < first + 32; ++byte) line += char(byte);
        lines.push_back(line);
    }
    int width = 0, height = 0;
    for (const std::string &line : lines) {
        const SIZE s = measure(bgi_font(font, 1, 0), line);
        width = std::max(width, int(s.cx));
        height = int(s.cy);
    }
    Canvas canvas(2 * kMargin + width, 2 * kMargin + int(lines.size()) * (height + 2), kClear);
    HDC dc = canvas.dc();
    Selected selected(dc, bgi_font(font, 1, 0));
    text_colours(dc);
    for (std::size_t i = 0; i < lines.size(); ++i)
        text_out(dc, kMargin, kMargin + int(i) * (height + 2), lines[i]);
    out.pixels("text_charset_font" + std::to_string(font), dc, canvas.width(), canvas.height());
}

// Widths other than the BGI cells' stretch or squeeze a face: one face name
// of the table at one height, from the narrowest width to four times its
// natural one.
void text_widths(DumpFile &out, const char *face, int weight, BYTE pitch_and_family) {
    const int widths[] = {0, 1, 4, 9, 13, 14, 15, 22, 40};
    const std::string text = "Wave, Game!";
    auto font = [&](int width) {
        return CreateFontA(-24, width, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch_and_family, face);
    };
    int widest = 0;
    for (int width : widths) widest = std::max(widest, int(measure(font(width), text).cx));
    Canvas canvas(2 * kMargin + widest, 2 * kMargin + int(std::size(widths)) * 30, kClear);
    HDC dc = canvas.dc();
    text_colours(dc);
    for (std::size_t i = 0; i < std::size(widths); ++i) {
        Selected selected(dc, font(widths[i]));
        text_out(dc, kMargin, kMargin + int(i) * 30, text);
    }
    std::string name = std::string("text_widths_") + face;
    for (char &c : name)
        if (c == ' ') c = '_';
    out.pixels(name, dc, canvas.width(), canvas.height());
}

// Text of each quarter turn from one point, and pieces of text written one
// after the other at the current position (as outtext does), upright and
// turned, left- and right-aligned: the position moves by the measured width.
// Transparent, as turned text is in text_vertical.
void text_turns_and_position(DumpFile &out) {
    Canvas canvas(320, 320, kClear);
    HDC dc = canvas.dc();
    text_colours(dc);
    SetBkMode(dc, TRANSPARENT);
    for (int direction = 0; direction < 4; ++direction) {
        Selected selected(dc, bgi_font(4, 2, direction));
        SetTextAlign(dc, TA_LEFT | TA_BASELINE);
        text_out(dc, 160, 160, "Game Over!");
    }
    const char *const pieces[] = {"Ga", "me ", "Ov", "er!"};
    struct Run {
        int font, direction;
        UINT align;
        int x, y;
    } runs[] = {{1, 0, TA_LEFT | TA_TOP, 4, 4},
                {3, 0, TA_RIGHT | TA_BOTTOM, 316, 316},
                {5, 1, TA_LEFT | TA_BOTTOM, 30, 250},
                {9, 1, TA_RIGHT | TA_TOP, 290, 20}};
    for (const Run &run : runs) {
        Selected selected(dc, bgi_font(run.font, 2, run.direction));
        SetTextAlign(dc, run.align | TA_UPDATECP);
        MoveToEx(dc, run.x, run.y, nullptr);
        for (const char *piece : pieces) text_out(dc, 0, 0, piece);
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    out.pixels("text_turns_and_position", dc, canvas.width(), canvas.height());
}

} // namespace

void text_scenes(DumpFile &out) {
    for (int font = 0; font < font_count; ++font) text_measures(out, font);
    for (int font = 0; font < font_count; ++font) {
        for (int size : {1, 4}) {
            text_justify(out, font, size);
            text_vertical(out, font, size);
        }
        text_charset(out, font);
    }
    text_widths(out, "Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
    text_widths(out, "Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN);
    text_widths(out, "Courier New", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE);
    text_turns_and_position(out);
    text_vertical(out, 4, 1, OPAQUE);
}

} // namespace conformance
