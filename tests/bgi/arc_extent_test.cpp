// How much of its ellipse an arc, circle or slice covers: whole outlines
// closed, so that a fill from the centre stays inside; sweeps of a whole turn
// or more the whole ellipse; arcs between rays closer than the outline's
// pixels short. Also run by the Windows build under Wine.
#include "drawing_fixture.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Fills from (x, y) in the outline colour and reports what leaked: the
// points given, all outside the outline, must stay black. The page and the
// window are read whichever is drawn on.
class Outlines : public Drawing {
protected:
    void SetUp() override {
        Drawing::SetUp();
        setcolor(WHITE);
        setfillstyle(SOLID_FILL, RED);
    }
    // The corners of the 640 x 480 window lie outside every outline below.
    static std::string fill_leaks(int x, int y, std::vector<std::pair<int, int>> outside) {
        floodfill(x, y, WHITE);
        outside.insert(outside.end(), {{0, 0}, {639, 0}, {0, 479}, {639, 479}});
        const bool window_drawn = bgi::window_is_target();
        std::string leaks;
        for (auto [px, py] : outside) {
            if (getpixel(px, py) != BLACK || (window_drawn && window_color(px, py) != BLACK))
                leaks += " (" + std::to_string(px) + "," + std::to_string(py) + ")";
        }
        return leaks;
    }
};

// Every circle of radius 1 to 300 about the middle of the window, on a
// hidden page: the fill stays inside, right beside the outline too.
TEST_F(Outlines, FillsFromTheCentreOfEveryCircleStayInside) {
    setactivepage(1);
    for (int r = 1; r <= 300; ++r) {
        cleardevice();
        circle(320, 240, r);
        EXPECT_EQ(fill_leaks(320, 240, {{320 + r, 240}, {320 - r - 1, 240}}), "") << "radius " << r;
    }
}

// Ellipses of every shape, from a start angle round a whole turn, and
// circles under aspect ratios that squash them either way.
TEST_F(Outlines, FillsFromTheCentreOfEveryWholeEllipseStayInside) {
    setactivepage(1);
    const int radii[] = {1, 2, 3, 4, 6, 9, 14, 22, 35, 57, 91, 148, 239, 300};
    int start = 0;
    for (int rx : radii) {
        for (int ry : radii) {
            if (ry > 239) continue;
            start = (start + 47) % 360;
            cleardevice();
            ellipse(320, 240, start, start + 360, rx, ry);
            EXPECT_EQ(fill_leaks(320, 240, {{320 + rx, 240}, {320, 240 + ry + 1}}), "")
                << rx << " x " << ry << " from " << start;
        }
    }
    for (int r : {1, 5, 17, 60, 200}) {
        for (int a : {0, 90, 271}) {
            cleardevice();
            arc(320, 240, a, a + 360, r);
            EXPECT_EQ(fill_leaks(320, 240, {{320 + r, 240}}), "") << r << " from " << a;
        }
    }
    for (int yasp : {3000, 7000, 13000, 31000}) {
        setaspectratio(10000, yasp);
        for (int r : {4, 33, 150}) {
            cleardevice();
            circle(320, 240, r);
            EXPECT_EQ(fill_leaks(320, 240, {{320 + r, 240}}), "") << r << "/" << yasp;
        }
    }
}

// The same on the shown page, drawn on page and window, and drawn on the
// window alone.
TEST_F(Outlines, FillsStayInsideOnThePageAndOnTheWindow) {
    for (int redraw : {1, 0}) {
        bgiemu_handle_redraw = redraw;
        for (int r : {1, 2, 3, 7, 10, 25, 64, 130, 239}) {
            cleardevice();
            circle(320, 240, r);
            EXPECT_EQ(fill_leaks(320, 240, {{320 + r, 240}}), "")
                << "radius " << r << ", redraw " << redraw;
            cleardevice();
            ellipse(320, 240, 30, 390, r + 40, r);
            EXPECT_EQ(fill_leaks(320, 240, {{360 + r, 240}}), "")
                << "ellipse " << r << ", redraw " << redraw;
        }
    }
}

// The pixels of colour c within the box of radii rx, ry about (x, y), widened
// by a pixel, as rows of '#' and '.'.
std::string picture(int x, int y, int rx, int ry) {
    std::string s;
    for (int py = y - ry - 1; py <= y + ry + 1; ++py) {
        for (int px = x - rx - 1; px <= x + rx + 1; ++px)
            s += getpixel(px, py) == BLACK ? '.' : '#';
        s += '\n';
    }
    return s;
}

// A sweep of a whole turn or more is the whole ellipse, whatever the start:
// the picture of ellipse(0, 360), and for slices the whole inside (the edge
// to the centre lies along the start angle; the system's GDI under Wine
// leaves pixels unfilled beside it, so slices are compared on ours only);
// getarccoords still reports the end point of the end angle.
TEST_F(Outlines, SweepsOfAWholeTurnOrMoreAreTheWholeEllipse) {
    struct Shape {
        int rx, ry;
    };
    for (Shape s : {Shape{50, 50}, Shape{37, 21}, Shape{12, 40}}) {
        cleardevice();
        ellipse(100, 100, 0, 360, s.rx, s.ry);
        const std::string whole = picture(100, 100, s.rx, s.ry);
        cleardevice();
        sector(100, 100, 0, 360, s.rx, s.ry);
        const std::string whole_slice = picture(100, 100, s.rx, s.ry);
        for (int from : {0, 60, 95, 200, -30}) {
            for (int sweep : {360, 361, 720, 1080}) {
                cleardevice();
                ellipse(100, 100, from, from + sweep, s.rx, s.ry);
                EXPECT_EQ(picture(100, 100, s.rx, s.ry), whole)
                    << s.rx << " x " << s.ry << ", " << from << " + " << sweep;
#ifndef _WIN32
                cleardevice();
                sector(100, 100, from, from + sweep, s.rx, s.ry);
                EXPECT_EQ(picture(100, 100, s.rx, s.ry), whole_slice)
                    << "sector " << s.rx << " x " << s.ry << ", " << from << " + " << sweep;
#endif
                if (s.rx != s.ry) continue;
                cleardevice();
                arc(100, 100, from, from + sweep, s.rx);
                EXPECT_EQ(picture(100, 100, s.rx, s.ry), whole) << "arc " << from << " + " << sweep;
#ifndef _WIN32
                cleardevice();
                pieslice(100, 100, from, from + sweep, s.rx);
                EXPECT_EQ(picture(100, 100, s.rx, s.ry), whole_slice)
                    << "pieslice " << from << " + " << sweep;
#endif
            }
        }
    }
    // 60 and 420 degrees truncate to points a pixel apart; the arc is whole
    // all the same, and reports them as they are.
    arc(100, 100, 60, 420, 50);
    arccoordstype ends{};
    getarccoords(&ends);
    EXPECT_EQ(ends.xstart, 125);
    EXPECT_EQ(ends.xend, 124);
    EXPECT_EQ(ends.ystart, 57);
    EXPECT_EQ(ends.yend, 57);
}

#ifndef _WIN32
// The system's GDI under Wine draws the whole ellipse for these: ours only.
// Arcs and slices a degree wide light a few pixels at most, and slices their
// two edges, never the whole outline or the whole inside; at small radii
// most of them have end points on one ray from the centre.
TEST_F(Outlines, ArcsOfADegreeStayShort) {
    auto lit = [](int r) {
        int n = 0;
        for (int y = 100 - r - 1; y <= 100 + r + 1; ++y)
            for (int x = 100 - r - 1; x <= 100 + r + 1; ++x) n += getpixel(x, y) != BLACK;
        return n;
    };
    for (int r : {10, 20, 50}) {
        for (int from = -3; from < 360; from += r == 50 ? 1 : 4) {
            cleardevice();
            arc(100, 100, from, from + 1, r);
            EXPECT_LE(lit(r), 2) << r << ": " << from << " + 1";
            cleardevice();
            ellipse(100, 100, from, from + 2, r, r / 2);
            EXPECT_LE(lit(r), 3) << "ellipse " << r << ": " << from << " + 2";
            cleardevice();
            pieslice(100, 100, from, from + 1, r);
            EXPECT_LE(lit(r), 2 * r + 4) << "pieslice " << r << ": " << from << " + 1";
        }
    }
    cleardevice();
    arc(100, 100, 24, 26, 10);
    EXPECT_LE(lit(10), 2);
    // Their end points are reported as truncated, on one ray or not.
    arc(100, 100, 0, 1, 50);
    arccoordstype ends{};
    getarccoords(&ends);
    EXPECT_EQ(ends.xstart, 150);
    EXPECT_EQ(ends.xend, 149);
    EXPECT_EQ(ends.ystart, 100);
    EXPECT_EQ(ends.yend, 100);
}
#endif

} // namespace
