#include "system/failure_notice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "modplayer/test_files.h"
#include "sound/module_search.h"
#include "sound/sound.h"
#include "zarvelin/zarvelin.h"

namespace {

// Stands in for the Windows message box: the text on one line of standard error.
void NoticeOnStderr(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\n') c = '|';
    std::fprintf(stderr, "notice<%s>\n", line.c_str());
}

TEST(FailureNotice, NoneByDefaultThenTheOneSet) {
    NoticeFailure("nobody hears this");
    static std::string heard;
    SetFailureNotice([](const std::string& text) { heard += text + ";"; });
    NoticeFailure("a");
    NoticeFailure("b");
    SetFailureNotice(nullptr);
    NoticeFailure("c");
    EXPECT_EQ(heard, "a;b;");
}

// Each failure that stops the program hands its whole message to the notice, then exits
// with status 1 as before.
TEST(FailureNoticeDeathTest, EveryStoppingFailureIsNoticed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetFailureNotice(NoticeOnStderr);
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            std::exit(SetupDisplay(1));
        },
        testing::ExitedWithCode(1), "notice<Unable to set video mode: [^>]+>");

    EXPECT_EXIT(
        {
            SetFailureNotice(NoticeOnStderr);
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            SoundInit();
        },
        testing::ExitedWithCode(1), "notice<Error initializing output device\\.>");

    modtest::ScratchDir dir;
    EXPECT_EXIT(
        {
            SetFailureNotice(NoticeOnStderr);
            if (chdir(dir.path().c_str()) != 0) std::_Exit(2);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            SetModuleDirs({"", "/nowhere"});
            SoundInit();
            PlaySong();
        },
        testing::ExitedWithCode(1),
        "notice<File not found\\|velkantoria\\.mod looked for in: \\./ \\(the working directory\\), "
        "/nowhere/>");
}

} // namespace
