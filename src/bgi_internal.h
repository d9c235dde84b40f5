// Internal operations of the BGI layer that its own tests reach directly.
// Not part of the public API; C++ linkage only, in a namespace of its own.
#pragma once

#include "platform.h"

namespace bgi {

#ifdef _WIN32
using ::DWORD;
using ::HBITMAP;
using ::HDC;
using ::HPALETTE;
using ::HWND;
#else
using win32::DWORD;
using win32::HBITMAP;
using win32::HDC;
using win32::HPALETTE;
using win32::HWND;
#endif

// The graphics window, or null when none is open.
HWND window_handle();

// Sizes the drawing area from a driver and mode; driver 0 and unknown
// drivers become the VGA driver in its default mode.
void detect_mode(int *driver, int *mode);

// Resets the drawing state (colours, line, fill, text, pages, viewport,
// aspect ratio) without touching any device context.
void set_defaults();

// ---- Pages ------------------------------------------------------------------

// The DCs of the window: 0 the window DC, 1 the page DC, 2 and 3 the image
// DCs; null before the first paint and after the window is destroyed.
HDC device_context(int index);

// The bitmap of page 0..15, or null while the page has not been made.
HBITMAP page_bitmap(int page);

// ---- Palette ----------------------------------------------------------------

// Once per process: allocates the 256-slot logical palette description and
// fills its fixed part (slots 0..15 and 240..255 name the system's entries).
// Later calls do nothing.
void create_palette_description();

// At every initgraph: the 16 BGI colours return to their defaults in the
// current palette and in the description, and a new palette object is built
// from the description. Does not select it anywhere.
void reset_palette();

// graphdefaults' palette step: BGI colours back to their defaults in the
// current palette and in the palette object, realised on the window DC.
void restore_default_colors();

// Deletes the palette object (the window's destroy handler, once no DC holds
// it any more).
void release_palette();

// The palette object in use, or null before initgraph and after the window
// was destroyed.
HPALETTE palette_handle();

// Test hook until the window exists: makes the two DCs the window DC and the
// page DC, selects the palette into both and realises it on the window DC.
void attach_device_contexts(HDC window_dc, HDC page_dc);

// ---- Pens -------------------------------------------------------------------

// The dash array of a 16-bit line pattern, bit 0 first: dash, gap, dash, gap
// ... summing to 16, starting with a dash (0 long when bit 0 is clear). Writes
// at most 18 entries and returns their number.
int convert_userbits(DWORD *dashes, unsigned pattern);

// ---- Fill styles --------------------------------------------------------------

// Once per process, after the palette description: the background brush and
// the 13 fill brushes. Later calls do nothing.
void create_fill_brushes();

// Gives both DCs the fill colour as text colour, the colour pattern brushes
// paint in, unless the cached text colour already is the fill colour.
void select_fill_color();

} // namespace bgi
