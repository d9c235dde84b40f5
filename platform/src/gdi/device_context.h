// Device contexts: a drawing surface with the objects and attributes that
// every drawing call takes from it.
#pragma once

#include "bitmap.h"
#include "brush.h"
#include "palette.h"
#include "objects.h"

#include <optional>

namespace win32::gdi {

struct Pen;
struct Font;

struct DeviceContext : Object {
    static constexpr Kind object_kind = Kind::dc;
    enum class Type { memory, window, screen };

    explicit DeviceContext(Type t);
    ~DeviceContext() override;

    Type type;
    HWND window = nullptr; // the window a window DC draws on
    // The bitmap drawn on: the selected bitmap of a memory DC, the window's
    // surface of a window DC, an empty one for the screen.
    Selection<Bitmap> bitmap;
    Selection<Brush> brush;
    Selection<Pen> pen;
    Selection<Font> font;
    Selection<Palette> palette;

    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int poly_fill_mode = ALTERNATE;
    UINT text_align = TA_LEFT | TA_TOP;
    POINT origin = {0, 0};   // device position of logical (0, 0)
    POINT position = {0, 0}; // current position, logical
    std::optional<Box> clip; // in device coordinates

    // The surface drawn on and read. A window showing a bitmap's pixels in
    // place of its own takes its own copy of them first.
    Surface &surface() {
        Surface &s = bitmap.object->surface;
        if (s.borrowing()) s.settle();
        return s;
    }
    // Where drawing may change pixels: the surface within the clip region.
    Box drawable() const;
    // A colour reference as a pixel value of this DC's surface.
    std::uint32_t pixel(COLORREF color) const {
        return pixel_for(color, *palette.object, bitmap.object->surface);
    }
};

std::shared_ptr<DeviceContext> find_dc(HDC handle);

// A DC and the device pixel of one of its logical points: `inside` when the
// pixel is one drawing may change (on the surface, within the clip).
struct DevicePixel {
    std::shared_ptr<DeviceContext> dc;
    int x = 0, y = 0;
    bool inside = false;
};
DevicePixel locate(HDC handle, int x, int y);

// The DC of the screen: compatible with the display, drawing nowhere.
HDC screen_dc();

// A DC drawing on a window's client area; it follows the window to a new
// surface when the client area is resized, and is released by the caller.
HDC create_window_dc(HWND window, std::shared_ptr<Bitmap> surface);
void retarget_window_dcs(HWND window, std::shared_ptr<Bitmap> surface);
bool release_window_dc(HDC dc);

// The display's size, as HORZRES and VERTRES answer it.
void set_display_size(int width, int height);
int display_width();
int display_height();

// Told when a realisation changed the system palette, with the window whose
// DC caused it (null for memory DCs); the window manager broadcasts it.
extern void (*system_palette_changed)(HWND cause);

} // namespace win32::gdi
