// int86 for the two interrupts DOS programs used beside the BGI: the mouse
// driver's 0x33 and the BIOS keyboard's 0x16, served by the graphics window.
// The mouse driver's position is the window's mouse position (egerx, egery),
// kept within the limits the program set; its pointer is the system's
// pointer, shown and hidden with the driver's counter.
#include "bgi.h"
#include "bgi_internal.h"
#include "bios.h"
#include "dos.h"

#include <algorithm>
#include <cstdint>

#ifndef _WIN32
using namespace win32;
#endif
using namespace bgi;

namespace {

// The mouse driver: the box the position is kept in, and the pointer's
// counter (shown at 0, hidden below).
struct mouse_driver_state {
    bool limited = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    int pointer_level = 0;
};
mouse_driver_state mouse;

int clamp_x(int x) {
    return mouse.limited ? std::clamp(x, mouse.left, mouse.right) : x;
}
int clamp_y(int y) {
    return mouse.limited ? std::clamp(y, mouse.top, mouse.bottom) : y;
}

void show_pointer() {
    if (mouse.pointer_level < 0 && ++mouse.pointer_level == 0) ShowCursor(TRUE);
}
void hide_pointer() {
    if (mouse.pointer_level-- == 0) ShowCursor(FALSE);
}

// Registers hold 16 bits; coordinates are signed.
int signed_word(unsigned short v) {
    return short(v);
}

void mouse_service(const WORDREGS &in, WORDREGS &out) {
    switch (in.ax) {
    case 0: // reset: the pointer hidden in the middle of a screen-sized box
        mouse.limited = true;
        mouse.left = mouse.top = 0;
        mouse.right = std::max(getmaxx(), 0);
        mouse.bottom = std::max(getmaxy(), 0);
        egerx = (mouse.right + 1) / 2;
        egery = (mouse.bottom + 1) / 2;
        if (mouse.pointer_level == 0) hide_pointer();
        mouse.pointer_level = -1;
        out.ax = 0xFFFF; // installed
        out.bx = 2;      // buttons
        break;
    case 1:
        show_pointer();
        break;
    case 2:
        hide_pointer();
        break;
    case 3: // position and buttons, as of now: the window's messages first
        dispatch_waiting_messages();
        end_if_closed_by_user();
        out.bx = (balgomb ? 1 : 0) | (jobbgomb ? 2 : 0);
        out.cx = (unsigned short)clamp_x(egerx);
        out.dx = (unsigned short)clamp_y(egery);
        break;
    case 4:
        egerx = clamp_x(signed_word(in.cx));
        egery = clamp_y(signed_word(in.dx));
        break;
    case 7:
    case 8: {
        const int low = std::min(signed_word(in.cx), signed_word(in.dx));
        const int high = std::max(signed_word(in.cx), signed_word(in.dx));
        if (!mouse.limited) {
            mouse.limited = true;
            mouse.left = mouse.top = INT16_MIN;
            mouse.right = mouse.bottom = INT16_MAX;
        }
        (in.ax == 7 ? mouse.left : mouse.top) = low;
        (in.ax == 7 ? mouse.right : mouse.bottom) = high;
        egerx = clamp_x(egerx);
        egery = clamp_y(egery);
        break;
    }
    default: // not served: the registers stay as they were
        break;
    }
}

// The zero flag tells whether a key waits.
constexpr unsigned short zero_flag = 0x40;

void keyboard_service(const WORDREGS &in, WORDREGS &out) {
    const int service = in.ax >> 8;
    switch (service & ~0x10) {
    case 0:
        out.ax = (unsigned short)bioskey(service);
        break;
    case 1: {
        const int key = bioskey(service);
        out.ax = (unsigned short)key;
        out.flags = key ? out.flags & ~zero_flag : out.flags | zero_flag;
        break;
    }
    case 2:
        out.ax = (unsigned short)((in.ax & 0xFF00) | bioskey(service));
        break;
    default:
        out.cflag = 1;
    }
}

} // namespace

extern "C" {

int int86(int intno, union REGS *inregs, union REGS *outregs) {
    if (!inregs || !outregs) return 0;
    const WORDREGS in = inregs->x; // the two may be one record
    WORDREGS &out = outregs->x;
    out = in;
    out.cflag = 0;
    if (intno == 0x33)
        mouse_service(in, out);
    else if (intno == 0x16)
        keyboard_service(in, out);
    else
        out.cflag = 1; // nothing answers
    return out.ax;
}

// The segment registers point at nothing here.
int int86x(int intno, union REGS *inregs, union REGS *outregs, struct SREGS *) {
    return int86(intno, inregs, outregs);
}

} // extern "C"
