#include "keymap.h"

#include "platform.h"

namespace win32::display {

namespace {

struct KeyPair {
    SDL_Keycode key;
    unsigned vk;
};

constexpr KeyPair named_keys[] = {
    {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},         {SDLK_SPACE, VK_SPACE},
    {SDLK_LEFT, VK_LEFT},      {SDLK_UP, VK_UP},           {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},      {SDLK_HOME, VK_HOME},       {SDLK_END, VK_END},
    {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},  {SDLK_LSHIFT, VK_SHIFT},    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL},   {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},      {SDLK_SEMICOLON, 0xBA},     {SDLK_EQUALS, 0xBB},
    {SDLK_COMMA, 0xBC},        {SDLK_MINUS, 0xBD},         {SDLK_PERIOD, 0xBE},
    {SDLK_SLASH, 0xBF},        {SDLK_BACKQUOTE, 0xC0},     {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC},    {SDLK_RIGHTBRACKET, 0xDD},  {SDLK_QUOTE, 0xDE},
};

// The keyboard's scan codes (set 1) by key position; 0x100 marks the keys of
// the extended set, which share their code with a key of the keypad.
struct ScanPair {
    SDL_Scancode key;
    unsigned code;
};
constexpr unsigned extended = 0x100;
constexpr ScanPair scan_codes[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_KP_ENTER, extended | 0x1C},
    {SDL_SCANCODE_RCTRL, extended | 0x1D},
    {SDL_SCANCODE_KP_DIVIDE, extended | 0x35},
    {SDL_SCANCODE_RALT, extended | 0x38},
    {SDL_SCANCODE_HOME, extended | 0x47},
    {SDL_SCANCODE_UP, extended | 0x48},
    {SDL_SCANCODE_PAGEUP, extended | 0x49},
    {SDL_SCANCODE_LEFT, extended | 0x4B},
    {SDL_SCANCODE_RIGHT, extended | 0x4D},
    {SDL_SCANCODE_END, extended | 0x4F},
    {SDL_SCANCODE_DOWN, extended | 0x50},
    {SDL_SCANCODE_PAGEDOWN, extended | 0x51},
    {SDL_SCANCODE_INSERT, extended | 0x52},
    {SDL_SCANCODE_DELETE, extended | 0x53},
};

// The letters in the order of their scan codes, row by row from 0x10.
constexpr char letter_rows[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";

} // namespace

unsigned scan_code_of(SDL_Scancode key) {
    if (key >= SDL_SCANCODE_A && key <= SDL_SCANCODE_Z) {
        const char letter = char('A' + (key - SDL_SCANCODE_A));
        for (unsigned i = 0; i < sizeof letter_rows - 1; ++i)
            if (letter_rows[i] == letter) return 0x10 + i;
    }
    // 1..9 are 0x02..0x0A, and 0 follows them.
    if (key >= SDL_SCANCODE_1 && key <= SDL_SCANCODE_0)
        return 0x02 + unsigned(key - SDL_SCANCODE_1);
    if (key >= SDL_SCANCODE_F1 && key <= SDL_SCANCODE_F10)
        return 0x3B + unsigned(key - SDL_SCANCODE_F1);
    for (const ScanPair &p : scan_codes)
        if (p.key == key) return p.code;
    return 0;
}

unsigned virtual_key_of(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + unsigned(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + unsigned(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + unsigned(key - SDLK_F1);
    for (const KeyPair &p : named_keys)
        if (p.key == key) return p.vk;
    return 0;
}

SDL_Keycode keycode_of(unsigned vk) {
    if (vk >= 'A' && vk <= 'Z') return SDL_Keycode(SDLK_a + int(vk - 'A'));
    if (vk >= '0' && vk <= '9') return SDL_Keycode(SDLK_0 + int(vk - '0'));
    if (vk >= VK_F1 && vk <= VK_F12) return SDL_Keycode(SDLK_F1 + int(vk - VK_F1));
    for (const KeyPair &p : named_keys)
        if (p.vk == vk) return p.key;
    return SDLK_UNKNOWN;
}

} // namespace win32::display
