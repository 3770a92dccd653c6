#include "encoding.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "headless/options.h"

using capture::ChooseVideoFormat;
using capture::Placement;
using capture::PlacePicture;

TEST(Encoding, ThePictureAtTheLargestWholeScaleCentredOnBlack) {
    EXPECT_EQ(PlacePicture({640, 480}), (Placement{640, 480, 2, 0, 0}));
    EXPECT_EQ(PlacePicture({1280, 720}), (Placement{1280, 720, 3, 160, 0}));
    EXPECT_EQ(PlacePicture({1920, 1080}), (Placement{1920, 1080, 4, 320, 60}));
    EXPECT_EQ(PlacePicture({2560, 1440}), (Placement{2560, 1440, 6, 320, 0}));
    EXPECT_EQ(PlacePicture({3840, 2160}), (Placement{3840, 2160, 9, 480, 0}));
    EXPECT_EQ(PlacePicture({320, 240}), (Placement{320, 240, 1, 0, 0}));
}

// Chapter times from the video's start: all eight for the whole show, and the chapters a clip
// crosses, the first one from 0, the last ending with the clip.
TEST(Encoding, ChaptersFromTheVideosStart) {
    const std::string all = capture::ChapterMetadata(0, 227860);
    EXPECT_EQ(all.rfind(";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=12960\ntitle=", 0), 0u);
    size_t count = 0;
    for (size_t at = all.find("[CHAPTER]"); at != std::string::npos; at = all.find("[CHAPTER]", at + 1))
        count++;
    EXPECT_EQ(count, 8u);
    EXPECT_NE(all.find("START=199080\nEND=227860\ntitle=Water and credits\n"), std::string::npos);
    EXPECT_EQ(capture::ChapterMetadata(12000, 14000),
              ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=960\ntitle=Star field and logo\n"
              "[CHAPTER]\nTIMEBASE=1/1000\nSTART=960\nEND=2000\ntitle=Cylinder\n");
    const std::vector<std::string> mux = capture::MuxArgs({}, "f.mkv", "s.wav", "c.txt", "out.mp4");
    const std::string joined = std::accumulate(mux.begin(), mux.end(), std::string(),
                                               [](std::string a, const std::string& b) { return a + b + " "; });
    EXPECT_NE(joined.find("-f ffmetadata -i c.txt "), std::string::npos) << joined;
    EXPECT_NE(joined.find("-map_chapters 2 "), std::string::npos) << joined;
}

TEST(Encoding, FormatFollowsTheOptions) {
    headless::Options o;
    o.video = "show.MP4";
    o.step = 40;
    const capture::VideoFormat upload = ChooseVideoFormat(o);
    EXPECT_FALSE(upload.lossless);
    EXPECT_EQ(upload.place, (Placement{640, 480, 2, 0, 0})); // the window's doubled picture
    EXPECT_EQ(upload.container, "mp4");
    EXPECT_EQ(upload.step, 40u);

    o.video = "master.mkv";
    o.lossless = true;
    const capture::VideoFormat master = ChooseVideoFormat(o);
    EXPECT_TRUE(master.lossless);
    EXPECT_EQ(master.place, (Placement{320, 240, 1, 0, 0})); // the frames as drawn
    EXPECT_EQ(master.container, "matroska");
    o.size = {1920, 1080};
    EXPECT_EQ(ChooseVideoFormat(o).place.scale, 4u);
}
