#include "sound/sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "modplayer/test_files.h"
#include "sound/module_search.h"

namespace {

using modtest::Candidate;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::vector<char> bytes = modtest::ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Runs `body` in a child process whose standard output goes to `out`, expecting exit status 1.
// The child is forked with no audio open (every test closes what it opens).
template <typename Body> void ExpectFailure(const fs::path& out, Body body, const char* stderr_regex = "") {
    EXPECT_EXIT(
        {
            if (std::freopen(out.c_str(), "w", stdout) == nullptr) std::_Exit(2);
            body();
            std::exit(0);
        },
        testing::ExitedWithCode(1), stderr_regex);
}

TEST(SoundMessages, TextsForTheErrorCodes) {
    EXPECT_STREQ(SoundErrorText(0), "No errors");
    EXPECT_STREQ(SoundErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(SoundErrorText(9), "File not found");
    EXPECT_STREQ(SoundErrorText(10), "Unknown file format");
    EXPECT_STREQ(SoundErrorText(11), "Error loading file");
    EXPECT_STREQ(SoundErrorText(12), "Not enough memory ");
    EXPECT_STREQ(SoundErrorText(18), "Required Mediaplayer codec is not installed");
    EXPECT_STREQ(SoundErrorText(19), "Unknown error");
    EXPECT_STREQ(SoundErrorText(-1), "Unknown error");
}

// PlaySong in a working directory whose velkantoria.mod is each kind of bad file, with no
// other place to look in. Standard error names the file read or the places looked in.
TEST(SoundDeathTest, PlaySongFailsWithTheMessageForTheFile) {
    const char* const read = "read from: velkantoria.mod";
    const char* const looked = "looked for in: \\./ \\(the working directory\\)";
    const struct {
        Candidate kind;
        const char* message;
        const char* stderr_regex;
    } cases[] = {
        {Candidate::Missing, "File not found\n", looked},
        {Candidate::Empty, "Unknown file format\n", read},
        {Candidate::Text, "Unknown file format\n", read},
        {Candidate::Truncated, "Error loading file\n", read},
        {Candidate::Directory, "Error loading file\n", looked},
    };
    for (const auto& c : cases) {
        modtest::ScratchDir dir;
        modtest::MakeCandidate(dir.path() / "velkantoria.mod", c.kind);
        fs::path out = dir.path() / "stdout.txt";
        ExpectFailure(
            out,
            [&] {
                if (chdir(dir.path().c_str()) != 0) std::_Exit(2);
                setenv("SDL_AUDIODRIVER", "dummy", 1);
                SetModuleDirs({""});
                SoundInit();
                PlaySong();
            },
            c.stderr_regex);
        EXPECT_EQ(ReadText(out), c.message);
    }
}

TEST(SoundDeathTest, VersionBelowTheRequiredOneStops) {
    modtest::ScratchDir dir;
    fs::path out = dir.path() / "stdout.txt";
    ExpectFailure(out, [] {
        ModSetVersionSource([] { return 3.73f; });
        SoundInit();
    });
    EXPECT_EQ(ReadText(out), "Error : You are using the wrong DLL version!  You should be using FMOD 3.74\n");
}

TEST(SoundDeathTest, NoAudioOutputStops) {
    modtest::ScratchDir dir;
    fs::path out = dir.path() / "stdout.txt";
    ExpectFailure(out, [] {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        SoundInit();
    });
    EXPECT_EQ(ReadText(out), "Error initializing output device.\n");
}

TEST(Sound, ExactlyTheRequiredVersionPasses) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ModSetVersionSource([] { return 3.74f; });
    SoundInit();
    SoundEnd(); // nothing loaded: frees nothing, closes the output
    SoundEnd();
    ModSetVersionSource(nullptr);
}

// The whole path the program takes, with the disk driver standing in for a sound card.
TEST(Sound, PlaysTheSoundtrackThroughTheDiskDriver) {
    modtest::ScratchDir dir;
    modtest::MakeCandidate(dir.path() / "velkantoria.mod", Candidate::Good);
    fs::path wav = dir.path() / "out.raw";
    fs::path home = fs::current_path();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", wav.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1); // faster than real time
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    SoundInit();
    PlaySong();
    ASSERT_NE(mod, nullptr);
    // Wait (bounded) for 6 s of 16-bit stereo at 44100 Hz: past the intro's fade-in.
    constexpr uintmax_t kWanted = 6u * 44100u * 4u;
    std::error_code ec;
    for (int i = 0; i < 3000 && fs::file_size(wav, ec) < kWanted; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SoundEnd();
    ASSERT_EQ(chdir(home.c_str()), 0);
    unsetenv("SDL_DISKAUDIODELAY");
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::vector<char> bytes = modtest::ReadBytes(wav);
    ASSERT_GE(bytes.size(), kWanted);
    const int16_t* pcm = reinterpret_cast<const int16_t*>(bytes.data());
    size_t count = bytes.size() / 2;
    int peak = 0;
    size_t loud = 0;
    for (size_t i = 0; i < count; ++i) {
        int v = std::abs(static_cast<int>(pcm[i]));
        peak = std::max(peak, v);
        loud += v > 1000;
    }
    EXPECT_GT(peak, 4000);
    EXPECT_GT(loud, count / 10);
}

} // namespace
