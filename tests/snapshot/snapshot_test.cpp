// Headless snapshots: a BGI program run with BGI_SNAPSHOT saves its window
// as a PNG at its waits and at its end, types the keys of BGI_KEYS when it
// waits for one, and ends with the right status. The program is run as a
// separate process and its pictures read back with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    bool read = false;
    std::uint32_t at(int x, int y) const {
        const std::uint8_t *p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
        return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
};

Picture read_png(const fs::path &file) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        picture.width = int(image.width);
        picture.height = int(image.height);
        picture.read = true;
    }
    png_image_free(&image);
    return picture;
}

std::string slurp(const fs::path &file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Runs the subject in a folder of its own with the given environment
// settings ("NAME=value" words for env) and arguments.
class Snapshot : public ::testing::Test {
protected:
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::current_path() / (std::string("snapshot_") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    // `limit` is timeout's: a duration, after which it sends SIGTERM.
    Outcome run(const std::string &environment, const std::string &arguments,
                const std::string &limit = "60") const {
        const std::string command = "cd '" + dir.string() + "' && timeout " + limit + " env " +
                                    environment + " '" SUBJECT "' " + arguments +
                                    " >out.txt 2>err.txt";
        Outcome r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(dir / "out.txt");
        r.err = slurp(dir / "err.txt");
        return r;
    }

    fs::path dir;
};

constexpr std::uint32_t red = 0xFF0000, black = 0x000000;
constexpr std::uint32_t dark_gray = 0x2F4F4F; // 'a' (97) is drawn in colour 97 % 15 + 1

TEST_F(Snapshot, AWaitForAKeyThatCannotComeSavesAndEnds) {
    const Outcome r = run("BGI_SNAPSHOT=shot.png", "keys");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const Picture p = read_png(dir / "shot.png");
    ASSERT_TRUE(p.read);
    EXPECT_EQ(p.width, 640);
    EXPECT_EQ(p.height, 480);
    EXPECT_EQ(p.at(10, 10), red);
    EXPECT_EQ(p.at(47, 27), red);
    EXPECT_EQ(p.at(55, 20), black);
    EXPECT_EQ(p.at(639, 479), black);
}

// Each key is typed when the program waits for it; escapes and UTF-8 give
// the characters of the code page.
TEST_F(Snapshot, ScriptedKeysAreTypedInOrder) {
    struct Case {
        const char *keys;
        const char *echoed;
    };
    const Case cases[] = {
        {"ab\\r", "97\n98\n13\n"},
        {"\\x41\\e\\t\\b\\\\\\n", "65\n27\n9\n8\n92\n13\n"},
        {"\xC3\xA9\xE2\x82\xAC\r", "233\n128\n13\n"}, // e acute and the euro sign
    };
    for (const Case &c : cases) {
        const Outcome r =
            run("BGI_SNAPSHOT=shot.png 'BGI_KEYS=" + std::string(c.keys) + "'", "keys");
        EXPECT_EQ(r.status, 0) << c.keys << r.err;
        EXPECT_EQ(r.out, c.echoed) << c.keys;
    }
}

// closegraph saves the window before it goes; so does the end of main with
// the window still open.
TEST_F(Snapshot, ThePictureIsTakenAtClosegraphAndAtTheEnd) {
    for (const char *ending : {"", "return"}) {
        fs::remove(dir / "shot.png");
        const Outcome r =
            run("BGI_SNAPSHOT=shot.png BGI_KEYS=ab\\\\r", std::string("keys ") + ending);
        EXPECT_EQ(r.status, 0) << ending << r.err;
        const Picture p = read_png(dir / "shot.png");
        ASSERT_TRUE(p.read) << ending;
        EXPECT_EQ(p.at(10, 10), red) << ending;
        EXPECT_EQ(p.at(60, 10), dark_gray) << "the bar of 'a' " << ending;
    }
}

// "%d" numbers the pictures: one at each wait, the last at the end.
TEST_F(Snapshot, NumberedPicturesFollowTheWaits) {
    const Outcome r = run("BGI_SNAPSHOT=shot-%d.png BGI_KEYS=ab", "keys");
    EXPECT_EQ(r.status, 0) << r.err;
    const Picture first = read_png(dir / "shot-1.png"), second = read_png(dir / "shot-2.png"),
                  last = read_png(dir / "shot-3.png");
    ASSERT_TRUE(first.read && second.read && last.read);
    EXPECT_FALSE(fs::exists(dir / "shot-4.png"));
    EXPECT_EQ(first.at(60, 10), black) << "taken before 'a' was typed";
    EXPECT_NE(second.at(60, 10), black);
    EXPECT_EQ(second.at(80, 10), black) << "taken before 'b' was typed";
    EXPECT_NE(last.at(80, 10), black);
}

// The picture shows the colours of the system palette when it is taken.
TEST_F(Snapshot, ColoursComeThroughThePalette) {
    const Outcome r = run("BGI_SNAPSHOT=shot.png", "palette");
    EXPECT_EQ(r.status, 0) << r.err;
    const Picture p = read_png(dir / "shot.png");
    ASSERT_TRUE(p.read);
    EXPECT_EQ(p.at(120, 120), 0xC86428u);
    EXPECT_EQ(p.at(10, 10), red);
}

// The picture is of the page shown, never of the one drawn on.
TEST_F(Snapshot, ThePictureIsOfTheVisualPage) {
    const Outcome r = run("BGI_SNAPSHOT=shot-%d.png BGI_KEYS=x", "pages");
    EXPECT_EQ(r.status, 0) << r.err;
    const Picture page1 = read_png(dir / "shot-1.png"), page0 = read_png(dir / "shot-2.png");
    ASSERT_TRUE(page1.read && page0.read);
    EXPECT_EQ(page1.at(120, 120), 0x00FF00u) << "page 1's green bar";
    EXPECT_EQ(page1.at(220, 220), black) << "page 0's blue bar is hidden";
    EXPECT_EQ(page1.at(20, 20), black) << "page 0's red bar is hidden";
    EXPECT_EQ(page0.at(220, 220), 0x0000FFu);
    EXPECT_EQ(page0.at(20, 20), red);
    EXPECT_EQ(page0.at(120, 120), black);
}

// A program's own exit status stays; the picture is saved all the same.
TEST_F(Snapshot, ExitKeepsItsStatus) {
    const Outcome r = run("BGI_SNAPSHOT=shot.png", "exit");
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(read_png(dir / "shot.png").read);
}

// Programs that never wait for a key end after BGI_SNAPSHOT_AFTER
// milliseconds, at their next delay or kbhit.
TEST_F(Snapshot, ATimeLimitEndsLoopsThatNeverWaitForAKey) {
    for (const char *loop : {"delay", "poll"}) {
        fs::remove(dir / "shot.png");
        const Outcome r = run("BGI_SNAPSHOT=shot.png BGI_SNAPSHOT_AFTER=200", loop);
        EXPECT_EQ(r.status, 0) << loop << r.err;
        const Picture p = read_png(dir / "shot.png");
        ASSERT_TRUE(p.read) << loop;
        EXPECT_EQ(p.at(10, 10), red) << loop;
    }
}

// A program ended from outside leaves the picture it showed, whether it was
// waiting or busy drawing, and ends as the signal ends it (timeout: 124).
// The signal comes 3 s after the start, well after the window is open even
// in the sanitizer build on a loaded machine: one that comes before it ends
// the program with no picture to save.
TEST_F(Snapshot, TheEndFromOutsideSavesThePicture) {
    for (const char *loop : {"delay", "draw"}) {
        fs::remove(dir / "shot.png");
        const Outcome r = run("BGI_SNAPSHOT=shot.png", loop, "3");
        EXPECT_EQ(r.status, 124) << loop << r.err;
        const Picture p = read_png(dir / "shot.png");
        ASSERT_TRUE(p.read) << loop;
        EXPECT_EQ(p.at(10, 10), red) << loop;
    }
    // One that calls nothing is ended all the same, two seconds on.
    const Outcome r = run("BGI_SNAPSHOT=shot2.png", "compute", "1");
    EXPECT_EQ(r.status, 124);
    EXPECT_FALSE(fs::exists(dir / "shot2.png"));
}

// Mouse events come one at a time whenever the program looks for input and
// finds none; keys are typed into a kbhit loop that draws nothing.
TEST_F(Snapshot, ScriptedMouseEventsAndKeysForPollingPrograms) {
    Outcome r = run("BGI_SNAPSHOT=shot.png 'BGI_MOUSE=10,20 down 30,40 up rclick'", "mouse");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 0 0\n10 20 0\n10 20 1\n30 40 1\n30 40 0\nright\n");

    r = run("BGI_SNAPSHOT=shot.png BGI_KEYS=q", "poll");
    EXPECT_EQ(r.status, 4) << "the loop ended" << r.err;

    r = run("BGI_SNAPSHOT=shot.png 'BGI_MOUSE=10,20 jump'", "mouse");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("BGI_MOUSE: cannot read 'jump'"), std::string::npos) << r.err;
}

// Keys without a character are named; classic behaviour gives them to getch.
TEST_F(Snapshot, NamedKeysReachGetchWithClassicBehaviour) {
    const char *keys = "'BGI_KEYS=\\{up}\\{F10}\\{Del}a\\r'";
    Outcome r = run(std::string("BGI_SNAPSHOT=shot.png ") + keys, "keys");
    EXPECT_EQ(r.out, "97\n13\n") << r.err;
    r = run(std::string("BGI_SNAPSHOT=shot.png BGI_CLASSIC=1 ") + keys, "keys");
    EXPECT_EQ(r.out, "0\n72\n0\n68\n0\n83\n97\n13\n") << r.err;
    r = run("BGI_SNAPSHOT=shot.png 'BGI_KEYS=\\{up'", "keys");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("BGI_KEYS: cannot read the key \\{up"), std::string::npos) << r.err;
}

// A maximised window fills the invisible display.
TEST_F(Snapshot, AMaximisedWindowIsTheDisplaysSize) {
    const Outcome r = run("BGI_SNAPSHOT=shot.png", "maximised");
    EXPECT_EQ(r.status, 0) << r.err;
    const Picture p = read_png(dir / "shot.png");
    ASSERT_TRUE(p.read);
    EXPECT_EQ(p.width, 1024);
    EXPECT_EQ(p.height, 768);
}

// A picture that cannot be written is reported, and the run fails.
TEST_F(Snapshot, AnUnwritablePictureFailsTheRun) {
    const Outcome r = run("BGI_SNAPSHOT=no/such/folder/shot.png", "keys");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write no/such/folder/shot.png"), std::string::npos) << r.err;
}

} // namespace
