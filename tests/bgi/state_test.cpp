// The graphics state before any window: the driver/mode table, the defaults
// and the queries that only read state.
#include "bgi.h"
#include "bgi_internal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ModeCase {
    int driver, mode;
    int width, height;
};

class DetectMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DetectMode, SizesTheDrawingAreaAndKeepsTheCallersValues) {
    const ModeCase c = GetParam();
    int driver = c.driver, mode = c.mode;
    bgi::detect_mode(&driver, &mode);
    EXPECT_EQ(getmaxx(), c.width - 1);
    EXPECT_EQ(getmaxy(), c.height - 1);
    EXPECT_EQ(driver, c.driver);
    EXPECT_EQ(mode, c.mode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetectMode,
    ::testing::Values(ModeCase{CGA, CGAHI, 640, 200}, ModeCase{CGA, 7, 320, 200},
                      ModeCase{CGA, CGAC0, 320, 200}, ModeCase{MCGA, MCGAMED, 640, 200},
                      ModeCase{MCGA, MCGAHI, 640, 480}, ModeCase{MCGA, MCGAC1, 320, 200},
                      ModeCase{EGA, EGALO, 640, 200}, ModeCase{EGA, EGAHI, 640, 350},
                      ModeCase{EGA64, EGA64LO, 640, 200}, ModeCase{EGA64, 5, 640, 350},
                      ModeCase{EGAMONO, 0, 640, 350}, ModeCase{IBM8514, IBM8514LO, 640, 480},
                      ModeCase{IBM8514, IBM8514HI, 1024, 768}, ModeCase{HERCMONO, 3, 720, 348},
                      ModeCase{ATT400, ATT400MED, 640, 200}, ModeCase{ATT400, ATT400HI, 640, 400},
                      ModeCase{ATT400, ATT400C2, 320, 200}, ModeCase{VGA, VGALO, 640, 200},
                      ModeCase{VGA, VGAMED, 640, 350}, ModeCase{VGA, VGAHI, 640, 480},
                      ModeCase{VGA, 3, 640, 480}, ModeCase{VGA, -7, 640, 480},
                      ModeCase{PC3270, 1, 720, 350}));

TEST(DetectModeAuto, UnknownDriversAreDetectedAsVgaInTheDefaultMode) {
    for (int requested : {int(DETECT), 11, -1, 1000}) {
        for (int default_mode : {int(VGAHI), int(VGALO), 3}) {
            bgiemu_default_mode = default_mode;
            int driver = requested, mode = 5;
            bgi::detect_mode(&driver, &mode);
            EXPECT_EQ(driver, VGA) << requested;
            EXPECT_EQ(mode, default_mode) << requested;
            EXPECT_EQ(getmaxx(), 639);
            EXPECT_EQ(getmaxy(), default_mode == VGALO ? 199 : 479);
        }
    }
    bgiemu_default_mode = VGAHI;
}

TEST(Defaults, ResetTheDrawingStateToTheModeSize) {
    int driver = VGA, mode = VGAMED;
    bgi::detect_mode(&driver, &mode);
    setwritemode(XOR_PUT);
    setaspectratio(3, 4);
    bgi::set_defaults();

    int x = 0, y = 0;
    getaspectratio(&x, &y);
    EXPECT_EQ(x, 10000);
    EXPECT_EQ(y, 10000);
    EXPECT_EQ(getcolor(), WHITE);
    EXPECT_EQ(getbkcolor(), BLACK);

    linesettingstype line{};
    getlinesettings(&line);
    EXPECT_EQ(line.linestyle, SOLID_LINE);
    EXPECT_EQ(line.upattern, 0xFFFFFFFFu);
    EXPECT_EQ(line.thickness, NORM_WIDTH);

    fillsettingstype fill{};
    getfillsettings(&fill);
    EXPECT_EQ(fill.pattern, SOLID_FILL);
    EXPECT_EQ(fill.color, WHITE);

    textsettingstype text{};
    gettextsettings(&text);
    EXPECT_EQ(text.font, DEFAULT_FONT);
    EXPECT_EQ(text.direction, HORIZ_DIR);
    EXPECT_EQ(text.charsize, 1);
    EXPECT_EQ(text.horiz, LEFT_TEXT);
    EXPECT_EQ(text.vert, TOP_TEXT);

    viewporttype view{};
    getviewsettings(&view);
    EXPECT_EQ(view.left, 0);
    EXPECT_EQ(view.top, 0);
    EXPECT_EQ(view.right, 639);
    EXPECT_EQ(view.bottom, 349);
}

TEST(Queries, AnswerFromTheStateAlone) {
    int driver = VGA, mode = VGAHI;
    bgi::detect_mode(&driver, &mode);
    EXPECT_EQ(std::string(getmodename(1)), "640 x 480 EGA");
    EXPECT_EQ(std::string(getmodename(2)), "640 x 480 VGA");
    EXPECT_EQ(std::string(getdrivername()), "EGAVGA");
    EXPECT_EQ(getmaxcolor(), 15);
    EXPECT_EQ(getmaxmode(), 3);
    EXPECT_EQ(getgraphmode(), bgiemu_default_mode);

    driver = mode = -1;
    detectgraph(&driver, &mode);
    EXPECT_EQ(driver, VGA);
    EXPECT_EQ(mode, bgiemu_default_mode);
}

TEST(Errors, GraphresultIsSuccessAndMessagesAreTheSystemsTexts) {
    EXPECT_EQ(graphresult(), grOk);
    EXPECT_EQ(graphresult(), grOk);
    EXPECT_STRNE(grapherrormsg(0), "");
    const std::string exists = grapherrormsg(1410); // a class registered twice
    EXPECT_NE(exists.find("lass already exists"), std::string::npos) << exists;
    // A code without a text gives none, not the previous call's.
    EXPECT_STREQ(grapherrormsg(0x7FFFFFF0), "");
    EXPECT_STREQ(grapherrormsg(-1), "");
}

} // namespace
