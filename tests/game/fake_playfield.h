// Stand-in for the window size the engine reads through getmaxx()/getmaxy(), so the game logic can
// be tested without opening a window; the drawing calls of the engine's file do nothing.
#ifndef FAKE_PLAYFIELD_H
#define FAKE_PLAYFIELD_H

void set_fake_playfield(int maxx, int maxy);

#endif
