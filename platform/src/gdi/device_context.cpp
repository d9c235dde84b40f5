#include "device_context.h"

#include "font.h"
#include "pen.h"
#include "region.h"
#include "trace.h"

#include <new>
#include <vector>

namespace win32::gdi {

namespace {

int display_w = 1024;
int display_h = 768;

void no_window_manager(HWND) {}

// Stock objects are entered in the handle table once, on first use.
HGDIOBJ stock_handle(int index) {
    static HGDIOBJ handles[DEFAULT_PALETTE + 1] = {};
    if (index < 0 || index > DEFAULT_PALETTE) return nullptr;
    if (!handles[index]) {
        std::shared_ptr<Object> object;
        if (index <= NULL_BRUSH)
            object = stock_brush(index);
        else if (index <= NULL_PEN)
            object = stock_pen(index);
        else if (index == SYSTEM_FONT) {
            auto font = std::make_shared<Font>();
            font->stock = true;
            font->face = "System";
            font->weight = FW_BOLD;
            font->height = 16;
            object = font;
        } else if (index == DEFAULT_PALETTE)
            return default_palette_handle();
        if (!object) return nullptr;
        handles[index] = add_object(object);
    }
    return handles[index];
}

template <class T>
HGDIOBJ swap_selection(Selection<T> &slot, std::shared_ptr<T> object, HGDIOBJ handle) {
    HGDIOBJ previous = slot.handle;
    slot = {std::move(object), handle};
    return previous;
}

} // namespace

void (*system_palette_changed)(HWND cause) = no_window_manager;

DeviceContext::DeviceContext(Type t) : Object(Kind::dc), type(t) {
    bitmap = {stock_bitmap(), stock_bitmap_handle()};
    brush = {stock_brush(WHITE_BRUSH), stock_handle(WHITE_BRUSH)};
    pen = {stock_pen(BLACK_PEN), stock_handle(BLACK_PEN)};
    font = {find<Font>(stock_handle(SYSTEM_FONT)), stock_handle(SYSTEM_FONT)};
    palette = {default_palette(), default_palette_handle()};
}

DeviceContext::~DeviceContext() {
    if (bitmap.object && bitmap.object->selected_in == this) bitmap.object->selected_in = nullptr;
}

Box DeviceContext::drawable() const {
    const Surface &s = bitmap.object->surface;
    Box box{0, 0, s.width, s.height};
    return clip ? box.intersect(*clip) : box;
}

DevicePixel locate(HDC handle, int x, int y) {
    DevicePixel p;
    p.dc = find_dc(handle);
    if (!p.dc) return p;
    const long long px = (long long)x + p.dc->origin.x, py = (long long)y + p.dc->origin.y;
    p.inside = p.dc->drawable().contains(px, py);
    if (p.inside) p.x = int(px), p.y = int(py);
    return p;
}

std::shared_ptr<DeviceContext> find_dc(HDC handle) {
    return find<DeviceContext>(handle);
}

std::shared_ptr<Pen> stock_pen(int index) {
    static std::shared_ptr<Pen> pens[3];
    if (index < WHITE_PEN || index > NULL_PEN) return nullptr;
    std::shared_ptr<Pen> &pen = pens[index - WHITE_PEN];
    if (!pen) {
        pen = std::make_shared<Pen>();
        pen->stock = true;
        pen->color = index == WHITE_PEN ? RGB(255, 255, 255) : RGB(0, 0, 0);
        if (index == NULL_PEN) pen->style = PS_NULL;
    }
    return pen;
}

HDC screen_dc() {
    // The screen: compatible with the display, with nothing to draw on.
    static HGDIOBJ screen = [] {
        auto dc = std::make_shared<DeviceContext>(DeviceContext::Type::screen);
        dc->stock = true; // made once, never deleted
        dc->bitmap = {std::make_shared<Bitmap>(), nullptr};
        return add_object(dc);
    }();
    return static_cast<HDC>(screen);
}

namespace {
std::vector<std::weak_ptr<DeviceContext>> &window_dcs() {
    static std::vector<std::weak_ptr<DeviceContext>> list;
    return list;
}
} // namespace

HDC create_window_dc(HWND window, std::shared_ptr<Bitmap> surface) {
    auto dc = std::shared_ptr<DeviceContext>(new (std::nothrow)
                                                 DeviceContext(DeviceContext::Type::window));
    if (!dc) return nullptr;
    dc->window = window;
    dc->bitmap = {std::move(surface), nullptr};
    auto &list = window_dcs();
    std::erase_if(list, [](const std::weak_ptr<DeviceContext> &w) { return w.expired(); });
    list.push_back(dc);
    return static_cast<HDC>(add_object(dc));
}

void retarget_window_dcs(HWND window, std::shared_ptr<Bitmap> surface) {
    for (auto &weak : window_dcs())
        if (auto dc = weak.lock(); dc && dc->window == window) dc->bitmap = {surface, nullptr};
}

bool release_window_dc(HDC handle) {
    auto dc = find_dc(handle);
    if (!dc || dc->type != DeviceContext::Type::window) return false;
    return remove_object(handle);
}

void set_display_size(int width, int height) {
    display_w = width;
    display_h = height;
}
int display_width() {
    return display_w;
}
int display_height() {
    return display_h;
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

HDC CreateCompatibleDC(HDC dc_handle) {
    trace::record("CreateCompatibleDC", dc_handle, {});
    // With no DC, the new one is compatible with the display, as every DC is.
    if (dc_handle && !find_dc(dc_handle)) return nullptr;
    auto dc = std::shared_ptr<DeviceContext>(new (std::nothrow)
                                                 DeviceContext(DeviceContext::Type::memory));
    return dc ? static_cast<HDC>(add_object(dc)) : nullptr;
}

BOOL DeleteDC(HDC dc_handle) {
    trace::record("DeleteDC", dc_handle, {});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    // A window's DC goes back with ReleaseDC or EndPaint.
    if (dc->type != DeviceContext::Type::memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (dc->bitmap.object->selected_in == dc.get()) dc->bitmap.object->selected_in = nullptr;
    return remove_object(dc_handle) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc_handle, HGDIOBJ handle) {
    trace::record("SelectObject", dc_handle, {trace::value(handle)});
    auto dc = find_dc(dc_handle);
    auto object = find_object(handle);
    if (!dc || !object) return nullptr;
    switch (object->kind) {
    case Kind::brush:
        return swap_selection(dc->brush, std::static_pointer_cast<Brush>(object), handle);
    case Kind::pen:
        return swap_selection(dc->pen, std::static_pointer_cast<Pen>(object), handle);
    case Kind::font:
        return swap_selection(dc->font, std::static_pointer_cast<Font>(object), handle);
    case Kind::region: {
        const int kind = select_clip(*dc, static_cast<Region *>(object.get()));
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(kind));
    }
    case Kind::bitmap: {
        auto bitmap = std::static_pointer_cast<Bitmap>(object);
        if (dc->type != DeviceContext::Type::memory) return nullptr;
        if (bitmap.get() == dc->bitmap.object.get()) return handle;
        // A bitmap lives in one memory DC at a time; the stock one in any.
        if (bitmap->selected_in && !bitmap->stock) return nullptr;
        if (dc->bitmap.object->selected_in == dc.get()) dc->bitmap.object->selected_in = nullptr;
        if (!bitmap->stock) bitmap->selected_in = dc.get();
        return swap_selection(dc->bitmap, bitmap, handle);
    }
    default: // palettes have SelectPalette; DCs select nothing
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ handle) {
    trace::record("DeleteObject", nullptr, {trace::value(handle)});
    auto object = find_object(handle);
    if (!object) return FALSE;
    if (object->kind == Kind::dc) { // DCs go with DeleteDC
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) return TRUE;
    // A DC that has the object selected keeps using it until it lets go.
    return remove_object(handle) ? TRUE : FALSE;
}

HGDIOBJ GetStockObject(int index) {
    trace::record("GetStockObject", nullptr, {index});
    return stock_handle(index);
}

int GetDeviceCaps(HDC dc_handle, int index) {
    trace::record("GetDeviceCaps", dc_handle, {index});
    if (!find_dc(dc_handle)) return 0;
    // Every DC answers for the display: a 256-colour palette device.
    switch (index) {
    case HORZRES:
        return display_width();
    case VERTRES:
        return display_height();
    case BITSPIXEL:
        return 8;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return 20;
    case RASTERCAPS:
        return RC_BITBLT | RC_PALETTE;
    case SIZEPALETTE:
        return 256;
    case NUMRESERVED:
        return 20;
    default:
        return 0;
    }
}

BOOL SetViewportOrgEx(HDC dc_handle, int x, int y, LPPOINT previous) {
    trace::record("SetViewportOrgEx", dc_handle, {x, y});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->origin;
    dc->origin = {x, y};
    return TRUE;
}

BOOL MoveToEx(HDC dc_handle, int x, int y, LPPOINT previous) {
    trace::record("MoveToEx", dc_handle, {x, y});
    auto dc = find_dc(dc_handle);
    if (!dc) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc_handle, LPPOINT position) {
    trace::record("GetCurrentPositionEx", dc_handle, {});
    auto dc = find_dc(dc_handle);
    if (!dc || !position) return FALSE;
    *position = dc->position;
    return TRUE;
}

namespace {

// Sets one attribute of a DC and answers its previous value, or `failure`
// for an unknown DC or a value the attribute cannot take.
template <class T>
T replace_attribute(const char *name, HDC dc_handle, T DeviceContext::*attribute, T value,
                    T failure, bool valid = true) {
    trace::record(name, dc_handle, {std::int64_t(value)});
    auto dc = find_dc(dc_handle);
    if (!dc || !valid) return failure;
    const T previous = (*dc).*attribute;
    (*dc).*attribute = value;
    return previous;
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return replace_attribute("SetTextColor", dc, &DeviceContext::text_color, color, CLR_INVALID);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    return replace_attribute("SetBkColor", dc, &DeviceContext::bk_color, color, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode) {
    return replace_attribute("SetBkMode", dc, &DeviceContext::bk_mode, mode, 0,
                             mode == TRANSPARENT || mode == OPAQUE);
}

UINT SetTextAlign(HDC dc, UINT align) {
    return replace_attribute("SetTextAlign", dc, &DeviceContext::text_align, align, GDI_ERROR);
}

int SetROP2(HDC dc, int mode) {
    return replace_attribute("SetROP2", dc, &DeviceContext::rop2, mode, 0,
                             mode >= R2_BLACK && mode <= R2_WHITE);
}

int SetPolyFillMode(HDC dc, int mode) {
    return replace_attribute("SetPolyFillMode", dc, &DeviceContext::poly_fill_mode, mode, 0,
                             mode == ALTERNATE || mode == WINDING);
}

} // namespace win32
