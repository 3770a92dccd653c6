#include "child_process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/test_files.h"
#include "modplayer/test_files.h"

namespace {

namespace fs = std::filesystem;
using capture::ChildProcess;

const std::string kShell = "/bin/sh";

TEST(ChildProcess, FeedsTheWholeInputAndPassesArgumentsAsTheyAre) {
    modtest::ScratchDir dir;
    const std::string out = (dir.path() / "a file with spaces").string();
    ChildProcess child;
    std::string error;
    // $0 is the first argument after the script: the output file.
    ASSERT_TRUE(child.Start(kShell, {"-c", "wc -c >\"$0\"", out}, true, error)) << error;
    EXPECT_TRUE(child.Running());
    const std::vector<char> block(3 << 20, 'x'); // more than a pipe holds
    EXPECT_TRUE(child.Write(block.data(), block.size()));
    EXPECT_TRUE(child.Write("tail", 4));
    EXPECT_TRUE(child.Wait(error)) << error;
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(std::stoul(capture_test::Slurp(out)), block.size() + 4);
    EXPECT_TRUE(child.Wait(error)); // a second wait has nothing left to wait for
}

TEST(ChildProcess, InputIsEmptyWhenNotFed) {
    modtest::ScratchDir dir;
    const std::string out = (dir.path() / "count").string();
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(kShell, {"-c", "wc -c >\"$0\"", out}, false, error)) << error;
    EXPECT_FALSE(child.Write("x", 1));
    EXPECT_TRUE(child.Wait(error)) << error;
    EXPECT_EQ(std::stoul(capture_test::Slurp(out)), 0u);
}

TEST(ChildProcess, HowItEndedIsTold) {
    std::string error;
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(kShell, {"-c", "exit 3"}, false, error));
        EXPECT_FALSE(child.Wait(error));
        EXPECT_EQ(error, "sh failed with status 3");
    }
    {
        ChildProcess child;
        ASSERT_TRUE(child.Start(kShell, {"-c", "kill -9 $$"}, false, error));
        EXPECT_FALSE(child.Wait(error));
        EXPECT_EQ(error, "sh was killed");
    }
    {
        // exec fails in the child: the status the shell also gives a missing program.
        ChildProcess child;
        ASSERT_TRUE(child.Start("/nonexistent/ffmpeg", {}, false, error));
        EXPECT_FALSE(child.Wait(error));
        EXPECT_EQ(error, "ffmpeg failed with status 127");
    }
}

// A program that stops reading shows as a failed write, not a signal that ends this one.
TEST(ChildProcess, WritingToAProgramThatStoppedReadingFails) {
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(kShell, {"-c", "exit 0"}, true, error));
    const std::vector<char> block(1 << 20, 'x');
    bool failed = false;
    for (int i = 0; i < 64 && !failed; i++)
        failed = !child.Write(block.data(), block.size());
    EXPECT_TRUE(failed);
    EXPECT_TRUE(child.Wait(error)) << error;
}

TEST(ChildProcess, TheDestructorEndsTheInputAndWaits) {
    modtest::ScratchDir dir;
    const std::string out = (dir.path() / "done").string();
    {
        ChildProcess child;
        std::string error;
        ASSERT_TRUE(child.Start(kShell, {"-c", "cat >/dev/null; echo done >\"$0\"", out}, true, error));
        EXPECT_TRUE(child.Write("abc", 3));
    }
    EXPECT_EQ(capture_test::Slurp(out), "done\n");
}

TEST(FindOnPath, OnlyExecutableFilesInPathOrder) {
    modtest::ScratchDir first, second;
    const auto make = [](const fs::path& file, mode_t mode) {
        std::ofstream(file) << "#!/bin/sh\n";
        chmod(file.c_str(), mode);
    };
    make(first.path() / "tool", 0644);            // not executable
    fs::create_directory(first.path() / "other"); // a folder
    make(second.path() / "tool", 0755);
    make(second.path() / "other", 0755);
    const char* saved = std::getenv("PATH");
    const std::string old_path = saved != nullptr ? saved : "";
    setenv("PATH", (first.path().string() + ":" + second.path().string()).c_str(), 1);
    EXPECT_EQ(capture::FindOnPath("tool"), (second.path() / "tool").string());
    EXPECT_EQ(capture::FindOnPath("other"), (second.path() / "other").string());
    EXPECT_EQ(capture::FindOnPath("missing"), "");
    setenv("PATH", old_path.c_str(), 1);
    EXPECT_EQ(capture::ProgramFileName("ffmpeg"), "ffmpeg");
}

} // namespace
