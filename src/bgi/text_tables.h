// The text family's fixed tables: what the platform is asked for to draw each
// of the eleven BGI fonts (face name, weight, pitch and family, the character
// cells of sizes 1..10 and the CreateFontA call made of them) and the
// text-alignment flags of each justification. The reference comparison asks
// both GDIs for the very same fonts through this header.
#pragma once

#include "platform.h"

namespace bgi {

#ifdef _WIN32
using ::BYTE;
using ::HFONT;
using ::UINT;
#else
using namespace win32;
#endif

constexpr int font_count = 11; // DEFAULT_FONT .. BOLD_FONT
constexpr int max_charsize = 10;

// What the font mapper is asked for, per BGI font.
struct font_request {
    const char *name;
    int weight;
    BYTE pitch_and_family;
    int normal_size; // the cell a user character size scales
};
constexpr font_request font_table[font_count] = {
    {"Console", FW_BOLD, FIXED_PITCH | FF_DONTCARE, 1},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, 4},
    {"Small Fonts", FW_NORMAL, VARIABLE_PITCH | FF_MODERN, 4},
    {"MS Sans Serif", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Arial", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, 4},
    {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, 4},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Script", FW_NORMAL, VARIABLE_PITCH | FF_SCRIPT, 4},
    {"Courier New", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Times New Roman", FW_NORMAL, VARIABLE_PITCH | FF_DONTCARE, 4},
    {"Courier New Bold", FW_BOLD, VARIABLE_PITCH | FF_DONTCARE, 4},
};

// The character cell of each font at sizes 1..10 (index 0 is never read):
// the average character width and the character height in pixels. Several
// fonts share a row of cells.
struct cell {
    int width, height;
};
using cell_row = cell[max_charsize + 1];
constexpr cell_row square_cells = {{0, 0},   {8, 8},   {16, 16}, {24, 24}, {32, 32}, {40, 40},
                                   {48, 48}, {56, 56}, {64, 64}, {72, 72}, {80, 80}};
constexpr cell_row small_cells = {{0, 0},   {3, 5},   {4, 6},   {4, 6},   {6, 9},  {8, 12},
                                  {10, 15}, {12, 18}, {15, 22}, {18, 27}, {24, 36}};
constexpr cell_row low_cells = {{0, 0},   {13, 18}, {14, 20}, {16, 23}, {22, 31}, {29, 41},
                                {36, 51}, {44, 62}, {55, 77}, {66, 93}, {88, 124}};
constexpr cell_row narrow_cells = {{0, 0},   {11, 19}, {12, 21}, {14, 24}, {19, 32}, {25, 42},
                                   {31, 53}, {38, 64}, {47, 80}, {57, 96}, {76, 128}};
constexpr cell_row wide_cells = {{0, 0},   {13, 19}, {14, 21}, {16, 24}, {22, 32}, {29, 42},
                                 {36, 53}, {44, 64}, {55, 80}, {66, 96}, {88, 128}};
constexpr const cell_row *font_metrics[font_count] = {
    &square_cells, &low_cells, &small_cells,  &narrow_cells, &wide_cells,  &narrow_cells,
    &narrow_cells, &low_cells, &narrow_cells, &narrow_cells, &narrow_cells};

// Text-alignment flags of each justification. Vertical centring is the
// baseline, not the middle of the cell.
constexpr UINT text_halign_cnv[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
constexpr UINT text_valign_cnv[3] = {TA_BOTTOM, TA_BASELINE, TA_TOP};

// The font of a BGI font number (0..10) turned by `direction` quarter turns,
// with an average character width and a character height in pixels.
inline HFONT create_font(int font, int direction, int width, int height) {
    const font_request &request = font_table[font];
    // Escapement and orientation in tenths of a degree; the product wraps
    // in 32 bits as the rest of the layer's arithmetic on caller values.
    const int escapement = int(unsigned(direction) * 900u);
    const int orientation = int(unsigned(direction & 1) * 900u);
    // A negative height asks for the character height, not the cell's.
    return CreateFontA(-height, width, escapement, orientation, request.weight, 0, 0, 0,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       request.pitch_and_family, request.name);
}

} // namespace bgi
