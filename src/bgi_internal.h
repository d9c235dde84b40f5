// Internal operations of the BGI layer that its own tests reach directly.
// Not part of the public API; C++ linkage only, in a namespace of its own.
#pragma once

namespace bgi {

// Sizes the drawing area from a driver and mode; driver 0 and unknown
// drivers become the VGA driver in its default mode.
void detect_mode(int *driver, int *mode);

// Resets the drawing state (colours, line, fill, text, pages, viewport,
// aspect ratio) without touching any device context.
void set_defaults();

} // namespace bgi
