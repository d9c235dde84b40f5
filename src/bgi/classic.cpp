// Classic behaviour, for programs written for DOS-era compilers: asked for at
// run time with BGI_CLASSIC=1, read anew by each initgraph. The families
// consult it where DOS drew otherwise: transparent text and dash gaps
// (window), fills in the fill colour (palette), the EGA/VGA colours and
// palette codes (palette), and cursor and function keys (input). This file
// holds the setting and the tables of the DOS side: the EGA colour codes and
// the BIOS scan codes of keys without a character.
#include "bgi.h"
#include "bgi_internal.h"

#include <cstdlib>
#include <cstring>

#ifndef _WIN32
using namespace win32;
#endif

namespace {

bool classic = false;

// The codes of the sixteen default colours in an EGA palette.
constexpr int default_codes[bgi::bgi_color_count] = {0,  1,  2,  3,  4,  5,  20, 7,
                                                     56, 57, 58, 59, 60, 61, 62, 63};

// What getch answers after 0 for each key without a character.
struct extended_key {
    UINT virtual_key;
    int code;
};
constexpr extended_key extended_keys[] = {
    {VK_HOME, 71},   {VK_UP, 72},     {VK_PRIOR, 73},    {VK_LEFT, 75},
    {VK_RIGHT, 77},  {VK_END, 79},    {VK_DOWN, 80},     {VK_NEXT, 81},
    {VK_INSERT, 82}, {VK_DELETE, 83}, {VK_F1 + 10, 133}, {VK_F12, 134},
};

} // namespace

namespace bgi {

// Anything but an empty value or 0 asks for it.
void read_classic_setting() {
    const char *setting = std::getenv("BGI_CLASSIC");
    classic = setting && *setting && std::strcmp(setting, "0") != 0;
}

bool classic_behaviour() {
    return classic;
}

// F1..F10 are 59..68; F11 and F12 came later and lie apart.
int extended_key_code(UINT virtual_key) {
    if (virtual_key >= VK_F1 && virtual_key < VK_F1 + 10) return 59 + int(virtual_key - VK_F1);
    for (const extended_key &k : extended_keys)
        if (k.virtual_key == virtual_key) return k.code;
    return 0;
}

// Bits 5..0 of a code are r g b R G B: the low-case bit adds a third of
// full intensity, the capital one two thirds.
PALETTEENTRY ega_color(int code) {
    const auto level = [code](int high_bit, int low_bit) {
        return BYTE(((code >> high_bit) & 1) * 0xAA + ((code >> low_bit) & 1) * 0x55);
    };
    return {level(2, 5), level(1, 4), level(0, 3), PC_NOCOLLAPSE};
}

int ega_default_code(int c) {
    return default_codes[c & 15];
}

} // namespace bgi
