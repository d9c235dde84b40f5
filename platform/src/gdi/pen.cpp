// Pens: CreatePen and ExtCreatePen.
#include "pen.h"

#include "trace.h"

#include <algorithm>
#include <new>

namespace win32::gdi {

void Pen::prepare_dashes() {
    dash = {};
    switch (dash_style()) {
    case PS_DASH:
        dash = {{18, 6}, 0, true};
        break;
    case PS_DOT:
        dash = {{3, 3}, 0, true};
        break;
    case PS_DASHDOT:
        dash = {{9, 6, 3, 6}, 0, true};
        break;
    case PS_DASHDOTDOT:
        dash = {{9, 3, 3, 3, 3, 3}, 0, true};
        break;
    case PS_ALTERNATE:
        dash = {{1, 1}, 0, false};
        break;
    case PS_USERSTYLE: {
        // A cosmetic pen counts its entries in units of three pixels, as its
        // predefined styles are made; a geometric one in pixels. An odd count
        // repeats, so that dashes and gaps take turns.
        const long long unit = geometric() ? 1 : 3;
        for (DWORD d : dashes) dash.lengths.push_back(unit * d);
        if (dash.lengths.size() % 2)
            dash.lengths.insert(dash.lengths.end(), dash.lengths.begin(), dash.lengths.end());
        break;
    }
    default:
        return;
    }
    for (long long d : dash.lengths) dash.period += d;
    if (dash.period <= 0) dash = {};
}

DashPosition DashPattern::at(long long distance) const {
    long long p = distance % period;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (p < lengths[i]) return {i, double(lengths[i] - p)};
        p -= lengths[i];
    }
    return {0, double(lengths[0])};
}

void DashPattern::advance(DashPosition &position, long long distance) const {
    position.left -= double(distance);
    while (position.left <= 0) {
        position.entry = (position.entry + 1) % lengths.size();
        position.left = double(lengths[position.entry]);
    }
}

} // namespace win32::gdi

namespace win32 {

using namespace gdi;

namespace {

HPEN register_pen(std::shared_ptr<Pen> pen) {
    return static_cast<HPEN>(add_object(std::move(pen)));
}

// Wider pens cover any surface this subset makes just the same; the bound
// keeps the cost of drawing with an absurd width bounded too.
constexpr long long max_pen_width = 1 << 16;

int bounded_width(long long width) {
    return int(std::min(width < 0 ? -width : width, max_pen_width));
}

} // namespace

HPEN CreatePen(int style, int width, COLORREF color) {
    trace::record("CreatePen", nullptr, {style, width, color});
    const DWORD dash = DWORD(style) & PS_STYLE_MASK;
    if (dash > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::shared_ptr<Pen>(new (std::nothrow) Pen);
    if (!pen) return nullptr;
    pen->width = bounded_width(width);
    // Wider than one pixel a pen is geometric: round ends and joins, and a
    // dash style no longer applies. An inside-frame pen keeps its style, which
    // closed shapes read to keep their outline within their box.
    if (pen->width > 1 && dash != PS_NULL)
        pen->style = PS_GEOMETRIC | (dash == PS_INSIDEFRAME ? PS_INSIDEFRAME : PS_SOLID);
    else
        pen->style = dash;
    pen->color = color;
    pen->prepare_dashes();
    return register_pen(pen);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH *brush, DWORD style_count,
                  const DWORD *style_entries) {
    trace::record("ExtCreatePen", nullptr,
                  {std::int64_t(style), width, brush ? brush->lbColor : 0, style_count});
    const DWORD dash = style & PS_STYLE_MASK;
    const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    const bool user = dash == PS_USERSTYLE;
    if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL) ||
        (!geometric && width != 1) ||
        (user && (style_count == 0 || style_count > 16 || !style_entries)) ||
        (!user && style_count != 0) || dash > PS_ALTERNATE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::shared_ptr<Pen>(new (std::nothrow) Pen);
    if (!pen) return nullptr;
    pen->style = brush->lbStyle == BS_NULL ? PS_NULL : style;
    pen->width = bounded_width(width);
    pen->color = brush->lbColor;
    if (user) {
        pen->dashes.assign(style_entries, style_entries + style_count);
        DWORD total = 0;
        for (DWORD d : pen->dashes) total += d;
        if (total == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    pen->prepare_dashes();
    return register_pen(pen);
}

} // namespace win32
