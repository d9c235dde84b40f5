// The console of conio.h on the terminal: what its output calls write and
// where they leave the cursor, escape sequences for a terminal only, and the
// terminal's keyboard while no window is open, one key at a time, unechoed.
#include "bgi.h"
#include "conio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// Standard output into a file while it lives; what was written, after.
class CapturedOutput {
public:
    CapturedOutput() {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        file = std::tmpfile();
        dup2(fileno(file), STDOUT_FILENO);
    }
    ~CapturedOutput() { restore(); }
    std::string text() {
        restore();
        std::string out;
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;) out += char(c);
        return out;
    }
    CapturedOutput(const CapturedOutput &) = delete;
    CapturedOutput &operator=(const CapturedOutput &) = delete;

private:
    void restore() {
        if (saved < 0) return;
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        saved = -1;
    }
    int saved = -1;
    std::FILE *file = nullptr;
};

// A pseudo-terminal put in place of one of our standard streams.
struct Terminal {
    explicit Terminal(int fd) : replaced(fd) {
        std::fflush(stdout);
        EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        saved = dup(fd);
        dup2(slave, fd);
    }
    ~Terminal() {
        std::fflush(stdout);
        dup2(saved, replaced);
        close(saved);
        close(slave);
        close(master);
    }
    std::string read_all() {
        std::string out;
        char buffer[256];
        fcntl(master, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) out.append(buffer, n);
        return out;
    }
    Terminal(const Terminal &) = delete;
    Terminal &operator=(const Terminal &) = delete;
    int replaced, saved = -1, master = -1, slave = -1;
};

TEST(Console, WritesTextAndFollowsTheCursor) {
    CapturedOutput out;
    clrscr();
    EXPECT_EQ(wherex(), 1);
    EXPECT_EQ(wherey(), 1);
    EXPECT_EQ(cprintf("ab\tc%d", 42), 6);
    EXPECT_EQ(wherex(), 12);
    textcolor(YELLOW | BLINK);
    EXPECT_EQ(cputs("!\r\n"), '\n');
    EXPECT_EQ(wherex(), 1);
    EXPECT_EQ(wherey(), 2);
    gotoxy(79, 3);
    EXPECT_EQ(putch('x'), 'x');
    EXPECT_EQ(putch('y'), 'y');
    EXPECT_EQ(wherex(), 1) << "past the last column";
    EXPECT_EQ(wherey(), 4);
    gotoxy(81, 1);
    gotoxy(0, 1);
    gotoxy(1, 26);
    EXPECT_EQ(wherex(), 1) << "off the screen: ignored";
    EXPECT_EQ(wherey(), 4);
    putch('\b');
    EXPECT_EQ(wherex(), 1);
    std::string long_text(600, 'z');
    EXPECT_EQ(cprintf("%s", long_text.c_str()), 600) << "longer than cprintf's own buffer";
    EXPECT_EQ(cputs(""), 0);
    const char *none = nullptr;
    EXPECT_EQ(cputs(none), EOF);
    EXPECT_EQ(cprintf(none), -1);
    textattr(LIGHTGRAY);
    EXPECT_EQ(out.text(), "ab\tc42!\r\nxy\b" + long_text) << "no escapes but to a terminal";
}

TEST(Console, ColoursAndPlacesOnATerminal) {
    Terminal t(STDOUT_FILENO);
    textattr(LIGHTGRAY);
    cputs("a");
    textcolor(YELLOW);
    textbackground(BLUE);
    cputs("b");
    textattr(RED | (GREEN << 4) | BLINK);
    putch('c');
    clrscr();
    gotoxy(3, 4);
    clreol();
    textattr(LIGHTGRAY);
    EXPECT_EQ(t.read_all(), "a"
                            "\x1B[0;93;44mb\x1B[0m"
                            "\x1B[0;31;42;5mc\x1B[0m"
                            "\x1B[0;42m\x1B[2J\x1B[H\x1B[0m"
                            "\x1B[4;3H"
                            "\x1B[0;42m\x1B[K\x1B[0m");
}

// One key at a time, without waiting for a line and without echo; the
// terminal is left as it was.
TEST(Console, TheTerminalsKeysWhileNoWindowIsOpen) {
    Terminal t(STDIN_FILENO);
    termios before{};
    tcgetattr(STDIN_FILENO, &before);
    EXPECT_EQ(kbhit(), 0);

    int key = -1;
    std::thread reader([&key] { key = getch(); });
    // Typed once getch has the terminal to itself.
    for (termios now{}; tcgetattr(t.master, &now) == 0 && (now.c_lflag & ICANON);) usleep(1000);
    ASSERT_EQ(write(t.master, "x", 1), 1);
    reader.join();
    EXPECT_EQ(key, 'x');
    EXPECT_EQ(t.read_all(), "") << "not echoed";
    termios after{};
    tcgetattr(STDIN_FILENO, &after);
    EXPECT_EQ(after.c_lflag, before.c_lflag);

    // Typed between calls: kbhit finds it in the terminal's own time.
    ASSERT_EQ(write(t.master, "y", 1), 1);
    bool hit = false;
    for (int i = 0; i < 1000 && !hit; ++i) hit = kbhit() || (usleep(1000), false);
    EXPECT_TRUE(hit);
    CapturedOutput out;
    EXPECT_EQ(getche(), 'y');
    EXPECT_EQ(out.text(), "y") << "echoed by getche";
}

// Keys from a pipe; at the end of the input no key can come: kbhit says
// none, and getch ends the program. (All in the child: the end of the input
// stays for the process.)
TEST(ConsoleDeathTest, TheEndOfTheInputEndsAWaitForAKey) {
    const auto read_to_the_end = [] {
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0 || write(pipe_ends[1], "z", 1) != 1) _exit(3);
        close(pipe_ends[1]);
        dup2(pipe_ends[0], STDIN_FILENO);
        close(pipe_ends[0]);
        if (getch() != 'z') _exit(4);
        if (kbhit() != 0) _exit(5);
        getch();
        _exit(6);
    };
    EXPECT_EXIT(read_to_the_end(), ::testing::ExitedWithCode(0), "");
}

} // namespace
