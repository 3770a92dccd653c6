#include "modplayer/modplayer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "modplayer/test_files.h"

namespace {

using modtest::Candidate;

// Waits (bounded) until the playing module has advanced, i.e. the audio callback runs.
bool WaitForPlayback(FMUSIC_MODULE* song) {
    for (int i = 0; i < 1000; ++i) {
        if (ModPositionSeconds(song) > 0.0) return true;
        SDL_Delay(10);
    }
    return false;
}

TEST(ModPlayerLoad, ErrorCodeForEveryKindOfBadFile) {
    modtest::ScratchDir dir;
    const struct {
        Candidate kind;
        int code;
    } cases[] = {
        {Candidate::Missing, kModFileNotFound}, {Candidate::Empty, kModUnknownFormat},
        {Candidate::Text, kModUnknownFormat},   {Candidate::Truncated, kModLoadFailed},
        {Candidate::Directory, kModLoadFailed},
    };
    int n = 0;
    for (const auto& c : cases) {
        auto path = dir.path() / ("candidate" + std::to_string(n++) + ".mod");
        modtest::MakeCandidate(path, c.kind);
        EXPECT_EQ(FMUSIC_LoadSong(path.c_str()), nullptr) << path;
        EXPECT_EQ(FSOUND_GetError(), c.code) << path;
    }
    EXPECT_EQ(FMUSIC_LoadSong((dir.path() / "no-such-dir" / "x.mod").c_str()), nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModFileNotFound);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
}

TEST(ModPlayerLoad, SoundtrackLoadsWithItsLength) {
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModOk);
    EXPECT_NEAR(ModLengthSeconds(song), 228.0, 10.0);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
}

TEST(ModPlayerLoad, FromMemoryWithTheSameChecks) {
    const std::vector<char> mod = modtest::ReadBytes(modtest::ModulePath());
    const auto* bytes = reinterpret_cast<const unsigned char*>(mod.data());
    FMUSIC_MODULE* song = ModLoadSongFromMemory(bytes, mod.size());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModOk);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    EXPECT_EQ(ModLoadSongFromMemory(bytes, mod.size() - 1), nullptr); // one byte of a sample short
    EXPECT_EQ(FSOUND_GetError(), kModLoadFailed);
    EXPECT_EQ(ModLoadSongFromMemory(bytes, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModUnknownFormat);
    EXPECT_EQ(ModLoadSongFromMemory(nullptr, 10), nullptr);
    EXPECT_EQ(FSOUND_GetError(), kModUnknownFormat);
}

TEST(ModPlayerCalls, RefuseWhatTheyCannotDo) {
    EXPECT_EQ(FMUSIC_FreeSong(nullptr), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    EXPECT_EQ(FMUSIC_PlaySong(nullptr), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(FMUSIC_PlaySong(song), 0); // no output yet
    EXPECT_EQ(FSOUND_GetError(), kModNotInitialised);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    FSOUND_Close(); // closing what never opened is harmless
    EXPECT_EQ(FSOUND_Init(100, 64, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
}

TEST(ModPlayerVersion, SourceIsReplaceable) {
    EXPECT_GE(FSOUND_GetVersion(), 3.74f);
    ModSetVersionSource([] { return 3.5f; });
    EXPECT_EQ(FSOUND_GetVersion(), 3.5f);
    ModSetVersionSource(nullptr);
    EXPECT_GE(FSOUND_GetVersion(), 3.74f);
}

// The offline renderer: sound, not silence, and the same samples on every run.
TEST(ModPlayerRender, OfflineRenderIsAudibleAndDeterministic) {
    constexpr size_t kFrames = 44100 * 20; // the first 20 s: intro and the first beat
    std::vector<int16_t> a(kFrames * 2), b(kFrames * 2);
    FMUSIC_MODULE* first = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(ModRenderPcm(first, 44100, a.data(), kFrames), kFrames);
    FMUSIC_FreeSong(first);
    // In two pieces: each call continues where the last stopped.
    ASSERT_EQ(ModRenderPcm(song, 44100, b.data(), kFrames / 2), kFrames / 2);
    ASSERT_EQ(ModRenderPcm(song, 44100, b.data() + kFrames, kFrames / 2), kFrames / 2);
    EXPECT_EQ(a, b);
    int peak = 0;
    for (int16_t v : a)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 4000);
    EXPECT_LT(peak, 32767); // no clipping
    EXPECT_EQ(ModRenderPcm(song, 0, a.data(), 16), 0u);
    EXPECT_EQ(ModRenderPcm(nullptr, 44100, a.data(), 16), 0u);
    FMUSIC_FreeSong(song);
}

// The show may outlast the module: past its end it starts again instead of falling silent.
TEST(ModPlayerRender, LoopsPastItsEnd) {
    constexpr int32_t kRate = 8000; // low rate: only the shape over time matters here
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(song, nullptr);
    size_t frames = static_cast<size_t>((ModLengthSeconds(song) + 12.0) * kRate);
    std::vector<int16_t> pcm(frames * 2);
    ASSERT_EQ(ModRenderPcm(song, kRate, pcm.data(), frames), frames);
    int peak = 0;
    for (size_t i = (frames - 6 * kRate) * 2; i < frames * 2; ++i)
        peak = std::max(peak, std::abs(int{pcm[i]}));
    EXPECT_GT(peak, 2000);
    FMUSIC_FreeSong(song);
}

// Volume scales every sample; a seek lands exactly where playing from the start would be.
TEST(ModPlayerRender, VolumeAndSeekShapeTheRender) {
    constexpr int32_t kRate = 44100;
    constexpr size_t kFrames = kRate; // one second
    constexpr int32_t kAtMs = 61237;  // inside a row, past the intro
    FMUSIC_MODULE* full = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(full, nullptr);
    ASSERT_NE(song, nullptr);
    const size_t skip = static_cast<size_t>(int64_t{kAtMs} * kRate / 1000);
    std::vector<int16_t> a((skip + kFrames) * 2), b(kFrames * 2);
    ASSERT_EQ(ModRenderPcm(full, kRate, a.data(), skip + kFrames), skip + kFrames);

    EXPECT_EQ(ModSetPositionMs(nullptr, 10), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    EXPECT_EQ(ModSetPositionMs(song, -1), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    for (int bad : {-1, 257}) {
        EXPECT_EQ(FMUSIC_SetMasterVolume(song, bad), 0) << bad;
        EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    }
    EXPECT_EQ(FMUSIC_SetMasterVolume(nullptr, 100), 0);

    ASSERT_EQ(ModSetPositionMs(song, kAtMs), 1);
    EXPECT_EQ(FSOUND_GetError(), kModOk);
    ASSERT_EQ(FMUSIC_SetMasterVolume(song, 100), 1);
    ASSERT_EQ(ModRenderPcm(song, kRate, b.data(), kFrames), kFrames);
    size_t differ = 0;
    for (size_t i = 0; i < kFrames * 2; ++i)
        differ += b[i] != int32_t{a[skip * 2 + i]} * 100 / 256 ? 1 : 0;
    EXPECT_EQ(differ, 0u);
    EXPECT_GT(*std::max_element(b.begin(), b.end()), 1000);

    ASSERT_EQ(FMUSIC_SetMasterVolume(song, 0), 1);
    ASSERT_EQ(ModRenderPcm(song, kRate, b.data(), kFrames), kFrames);
    EXPECT_EQ(std::count(b.begin(), b.end(), 0), static_cast<long>(b.size()));
    FMUSIC_FreeSong(full);
    FMUSIC_FreeSong(song);
}

TEST(ModPlayerOutput, MissingDriverIsInitError) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(FSOUND_Init(44100, 64, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInitFailed);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// Headless runs write the disk driver's file in step with the show unless told otherwise.
TEST(ModPlayerOutput, DiskDriverPacedToTheBuffer) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    unsetenv("SDL_DISKAUDIODELAY");
    ASSERT_EQ(FSOUND_Init(44100, 64, 0), 1);
    FSOUND_Close();
    ASSERT_NE(std::getenv("SDL_DISKAUDIODELAY"), nullptr);
    EXPECT_STREQ(std::getenv("SDL_DISKAUDIODELAY"), "46"); // 2048 frames at 44100 Hz
    setenv("SDL_DISKAUDIODELAY", "3", 1);
    ASSERT_EQ(FSOUND_Init(44100, 64, 0), 1);
    FSOUND_Close();
    EXPECT_STREQ(std::getenv("SDL_DISKAUDIODELAY"), "3");
    unsetenv("SDL_DISKAUDIODELAY");
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// Free the module, then close, while the callback is rendering flat out (the disk driver
// without delay into /dev/null). The sanitizer build catches any use of a freed module.
TEST(ModPlayerOutput, FreeThenCloseWhileTheCallbackRuns) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(FSOUND_Init(44100, 64, 0), 1) << SDL_GetError();
        EXPECT_EQ(FSOUND_Init(44100, 64, 0), 0); // already running
        EXPECT_EQ(FSOUND_GetError(), kModAlreadyInitialised);
        FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
        ASSERT_NE(song, nullptr);
        ASSERT_EQ(FMUSIC_PlaySong(song), 1);
        EXPECT_TRUE(WaitForPlayback(song));
        EXPECT_EQ(FMUSIC_FreeSong(song), 1);
        FSOUND_Close();
    }
    unsetenv("SDL_DISKAUDIODELAY");
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// Paused, the module stands where it was while the output runs on (flat out here: the disk
// driver without delay); resumed, it goes on from there.
TEST(ModPlayerOutput, PauseHoldsThePositionAndResumeGoesOn) {
    EXPECT_EQ(FMUSIC_SetPaused(nullptr, 1), 0);
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    FMUSIC_MODULE* other = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(FMUSIC_SetPaused(other, 1), 0); // no output yet
    EXPECT_EQ(FSOUND_GetError(), kModNotInitialised);

    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_EQ(FSOUND_Init(44100, 64, 0), 1) << SDL_GetError();
    FMUSIC_MODULE* song = FMUSIC_LoadSong(modtest::ModulePath().c_str());
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_EQ(FMUSIC_SetPaused(other, 1), 0); // not the one playing
    EXPECT_EQ(FSOUND_GetError(), kModInvalidParam);
    ASSERT_TRUE(WaitForPlayback(song));

    ASSERT_EQ(FMUSIC_SetPaused(song, 1), 1);
    const double held = ModPositionSeconds(song);
    SDL_Delay(100);
    EXPECT_EQ(ModPositionSeconds(song), held);
    ASSERT_EQ(FMUSIC_SetPaused(song, 0), 1);
    bool moved = false;
    for (int i = 0; i < 1000 && !moved; ++i) {
        moved = ModPositionSeconds(song) > held;
        SDL_Delay(10);
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(FMUSIC_FreeSong(song), 1);
    EXPECT_EQ(FMUSIC_FreeSong(other), 1);
    FSOUND_Close();
    unsetenv("SDL_DISKAUDIODELAY");
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

} // namespace
