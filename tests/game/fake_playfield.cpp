#include "fake_playfield.h"

namespace {
// A 640x480 window, the size the game normally runs in.
int fakeMaxX = 639;
int fakeMaxY = 479;
} // namespace

void set_fake_playfield(int maxx, int maxy) {
    fakeMaxX = maxx;
    fakeMaxY = maxy;
}

extern "C" int getmaxx(void) {
    return fakeMaxX;
}
extern "C" int getmaxy(void) {
    return fakeMaxY;
}

// The engine's file also draws the squares; these tests never draw.
extern "C" void setcolor(int) {}
extern "C" void rectangle(int, int, int, int) {}
extern "C" void floodfill(int, int, int) {}
