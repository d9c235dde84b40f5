// Internal operations of the BGI layer that its own tests reach directly.
// Not part of the public API; C++ linkage only, in a namespace of its own.
#pragma once

#include "platform.h"

namespace bgi {

#ifdef _WIN32
using ::HDC;
using ::HPALETTE;
#else
using win32::HDC;
using win32::HPALETTE;
#endif

// Sizes the drawing area from a driver and mode; driver 0 and unknown
// drivers become the VGA driver in its default mode.
void detect_mode(int *driver, int *mode);

// Resets the drawing state (colours, line, fill, text, pages, viewport,
// aspect ratio) without touching any device context.
void set_defaults();

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

// ---- Fill styles --------------------------------------------------------------

// Once per process, after the palette description: the background brush and
// the 13 fill brushes. Later calls do nothing.
void create_fill_brushes();

// Gives both DCs the fill colour as text colour, the colour pattern brushes
// paint in, unless the cached text colour already is the fill colour.
void select_fill_color();

} // namespace bgi
