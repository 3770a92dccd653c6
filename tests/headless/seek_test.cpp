// Seeks against the show played through on the 20 ms clock, in one process: the first seek
// replays from the start and keeps states, the later ones start from those.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless/bench.h"
#include "headless/run.h"
#include "headless/seek.h"
#include "script/script.h"
#include "zarvelin/zarvelin.h"

namespace {

struct PlayedShow {
    std::vector<uint64_t> hashes; // frame i was drawn at show time 20 i
    std::vector<int32_t> part_start_ms;
    int32_t last_ms = -1;
};

uint64_t Hash(const LcdSurface* s) {
    return headless::HashFrame(headless::kShowHashSeed, static_cast<const uint16_t*>(s->buffer));
}

class Seek : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        headless::UseVirtualClock(20, nullptr);
        ASSERT_EQ(SetupDisplay(2), 0);
        LoadingScreen();
        headless::StartShow();
        std::string error;
        headless::ShownFrame f{};
        while (headless::NextFrame(0, f, error) == headless::FrameResult::Drawn) {
            show_.hashes.push_back(Hash(f.surface));
            if (show_.part_start_ms.empty() || part_ != f.part) show_.part_start_ms.push_back(f.show_ms);
            part_ = f.part;
            show_.last_ms = static_cast<int32_t>(f.show_ms);
        }
        quit = 0;
    }
    // The next n frames after a seek to ms against the played show.
    static void ExpectFramesFrom(int32_t ms, int n) {
        ASSERT_TRUE(headless::SeekVirtual(ms)) << ms;
        std::string error;
        headless::ShownFrame f{};
        for (int k = 0; k < n && ms / 20 + k < static_cast<int32_t>(show_.hashes.size()); k++) {
            ASSERT_EQ(headless::NextFrame(0, f, error), headless::FrameResult::Drawn);
            EXPECT_EQ(Hash(f.surface), show_.hashes[ms / 20 + k]) << "seek to " << ms << ", frame " << k;
        }
        quit = 0;
    }
    static PlayedShow show_;
    static int32_t part_;
};
PlayedShow Seek::show_;
int32_t Seek::part_ = 0;

TEST_F(Seek, ChaptersStartWithTheirPartsFirstFrames) {
    const auto& chapters = headless::Chapters();
    ASSERT_EQ(show_.part_start_ms.size(), chapters.size());
    for (size_t i = 0; i < chapters.size(); i++)
        EXPECT_EQ(chapters[i].start_ms, show_.part_start_ms[i]) << chapters[i].name;
    EXPECT_EQ(headless::ShowLengthMs(), show_.last_ms);
    EXPECT_EQ(headless::ChapterAt(12959), 0);
    EXPECT_EQ(headless::ChapterAt(12960), 1);
    EXPECT_EQ(headless::ChapterAt(227840), 7);
    EXPECT_EQ(headless::MinutesSeconds(93999), "1:33");
    EXPECT_EQ(headless::MinutesSeconds(-5), "0:00");
    EXPECT_EQ(headless::MinutesSeconds(600000), "10:00");
}

// Stars, water, fades, the plasma growing over the old picture, part ends and the last frame;
// out of order so that seeks start from kept states, forward and back.
TEST_F(Seek, FramesAfterASeekAreThePlayedShows) {
    for (int32_t ms : {210000, 5000, 40460, 12940, 12960, 227840, 133520 + 2000, 0, 106860, 80000, 199080,
                       215020, 53420 + 26600}) {
        ExpectFramesFrom(ms, 4);
    }
    EXPECT_FALSE(headless::SeekShow(-1));
    EXPECT_FALSE(headless::SeekShow(headless::ShowLengthMs() + 1));
}

// The work between live frames leaves the live show as it was.
TEST_F(Seek, PreparingSeeksLeavesTheLiveShowAlone) {
    ASSERT_TRUE(headless::SeekVirtual(60000));
    std::string error;
    headless::ShownFrame f{};
    for (int k = 0; k < 3; k++) {
        headless::PrepareSeeks(1.0);
        ASSERT_EQ(headless::NextFrame(0, f, error), headless::FrameResult::Drawn);
        EXPECT_EQ(Hash(f.surface), show_.hashes[3000 + k]);
    }
    while (headless::PrepareSeeks(50.0)) {
    }
    EXPECT_EQ(headless::PreparedMs(), headless::ShowLengthMs() / 3000 * 3000);
    ExpectFramesFrom(223000, 3);
}

TEST(SeekTargets, StayWithinTheShowAndFollowTheChapters) {
    const int32_t end = headless::ShowLengthMs();
    EXPECT_EQ(headless::StepMs(3000, -5000), 0);
    EXPECT_EQ(headless::StepMs(end - 1000, 10000), end);
    EXPECT_EQ(headless::StepMs(93000, 5000), 98000);
    EXPECT_EQ(headless::TenthMs(0), 0);
    EXPECT_EQ(headless::TenthMs(5), end / 10 * 5);
    EXPECT_EQ(headless::PreviousChapterMs(60000), 53420);
    EXPECT_EQ(headless::PreviousChapterMs(54000), 12960); // early in a chapter: the one before
    EXPECT_EQ(headless::PreviousChapterMs(1000), 0);
    EXPECT_EQ(headless::NextChapterMs(0), 12960);
    EXPECT_EQ(headless::NextChapterMs(12960), 53420);
    EXPECT_EQ(headless::NextChapterMs(200000), -1);
}

} // namespace
