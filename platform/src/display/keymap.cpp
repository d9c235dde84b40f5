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

} // namespace

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
